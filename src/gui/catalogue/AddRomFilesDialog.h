#pragma once

#include "app/catalogue/AddRomFilesPresenter.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::gui {

// The dialog that adds parameter-table files of further ROM versions. Every
// rule lives in the application's AddRomFilesPresenter: the form forwards the user's events
// and shows its state. Messages and the file dialog go through the Ui.
// Controls carry their program names (RadioGroup1, ListBox1, Label1, Label2,
// Button1..Button4) as object names, from one table in the form's source.
class AddRomFilesDialog : public QDialog {
    Q_OBJECT

public:
    AddRomFilesDialog(Workspace& ws, Ui& ui, QWidget* parent = nullptr);

    const catalogue::AddRomFilesPresenter& addRom() const { return m_core; }

private:
    void onModelChosen(int choice);
    void onSelect();
    void onAdd();
    void onClose();
    void onClear();

    void build();
    void refresh();

    catalogue::AddRomFilesPresenter m_core;
    QGroupBox* m_modelFrame = nullptr;
    QButtonGroup* m_models = nullptr;
    QListWidget* m_list = nullptr; // the files chosen to add
    QLabel* m_count = nullptr;
    QLabel* m_listCaption = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_close = nullptr;
    QPushButton* m_clear = nullptr;
};

} // namespace tess::gui
