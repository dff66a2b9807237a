#pragma once

#include "domain/common/Language.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tess {
struct Workspace;
} // namespace tess

namespace tess::gui {

class ParameterGridModel;
class ParameterGridView;

// Find and filter above the parameter grid: a search box that narrows the
// grid to the rows whose code or names hold the text as it is typed (Escape
// empties it; Enter or Down hands the keyboard to the grid), the filters
// "Changed from default", "Hide reserved" and, while a comparison is shown,
// "Differences only", and the counts for the status bar's right end. F3 and
// Shift+F3, anywhere in the window, move the current cell to the next and
// previous difference of a comparison, going round at the ends. The rules
// are GridFilter's; this only shows them and hands the model the settings.
class GridSearchBar : public QWidget {
    Q_OBJECT

public:
    GridSearchBar(Workspace& ws, ParameterGridModel* model, ParameterGridView* grid, QWidget* parent = nullptr);

    // The counts ("665 rows, 3 changed from default"); the window puts it in
    // its status bar.
    QLabel* countsLabel() const { return m_counts; }

    // The captions of the language.
    void applyLanguage(Language language);
    // Ctrl+F: the keyboard to the search box, its text selected.
    void focusSearch();
    // F3 (forward) and Shift+F3 while comparing.
    void stepToDifference(bool forward);

private:
    void filterEdited();
    // The counts, and "Differences only" only while comparing.
    void showFilterState();

    Workspace& m_ws;
    ParameterGridModel* m_model;
    ParameterGridView* m_grid;
    QLabel* m_caption = nullptr;
    QLineEdit* m_search = nullptr;
    QCheckBox* m_changedOnly = nullptr;
    QCheckBox* m_hideReserved = nullptr;
    QCheckBox* m_differencesOnly = nullptr;
    QLabel* m_counts = nullptr;
};

} // namespace tess::gui
