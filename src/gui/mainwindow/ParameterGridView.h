#pragma once

#include "app/mainwindow/CellEditing.h"
#include "domain/common/Language.h"

#include <QTableView>

#include <functional>

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::gui {

class ParameterGridModel;
class ValueCellDelegate;

// What the grid asks of its owner while the user edits a value cell. Rows
// are grid rows (slot + 1). The grid re-reads its value column afterwards.
class GridEditCallbacks {
public:
    virtual ~GridEditCallbacks() = default;
    // Enter: `typed` is the editor's text, or the cell's when no editor is open.
    virtual void enterPressed(int gridRow, const QString& typed) = 0;
    // An arrow key leaves the cell.
    virtual void arrowPressed(int gridRow) = 0;
    // Any other key in the value cell.
    virtual void keyTyped(int gridRow) = 0;
    // A mouse button pressed anywhere in the grid.
    virtual void mousePressed() = 0;
};

// The callbacks done by the application's editing operations on a workspace.
// `committed` runs after every Enter, for the owner to enable `Save1` and
// show the status text.
class WorkspaceGridEditing : public GridEditCallbacks {
public:
    WorkspaceGridEditing(Workspace& ws, Ui& ui)
        : m_ws(ws)
        , m_ui(ui)
    {
    }

    void enterPressed(int gridRow, const QString& typed) override;
    void arrowPressed(int gridRow) override;
    void keyTyped(int gridRow) override;
    void mousePressed() override;

    std::function<void(const CellCommitResult&)> committed;

private:
    Workspace& m_ws;
    Ui& m_ui;
};

// The parameter grid `StringGrid1`: rows 24 pixels high, columns 74 pixels
// wide by default, and columns 0 to 2 (code, name, range) kept in view when
// the grid scrolls sideways. The frozen columns are a second view over the
// same model laid over the left edge, scrolling vertically with this one;
// their header stands in for this one's, so the name and range columns are
// widened by dragging its section edges.
// Only the value column of an open document can be selected and edited; an
// entry is stored by Enter through the callbacks, never by leaving the
// editor. A printable key on a value cell opens the editor with that key as
// its first character, as in a spreadsheet; the grid never searches rows by
// the keys typed. A cell whose text is cut off shows it whole as its tooltip.
// Shift+F1 and Shift+F2 scroll to the previous and next data area.
// When the model's filter shows other rows, the current cell and the top row
// stay on their grid rows, or go to the next row shown after them.
class ParameterGridView : public QTableView {
    Q_OBJECT

public:
    static constexpr int DefaultColumnWidth = 74;
    static constexpr int RowHeight = 24;
    static constexpr int FrozenColumns = 3;

    explicit ParameterGridView(QWidget* parent = nullptr);

    // The model must live at least as long as the view.
    void setGridModel(ParameterGridModel* model);
    void setEditCallbacks(GridEditCallbacks* callbacks) { m_callbacks = callbacks; }

    // The start-up widths; column 1 is wider for the Japanese names.
    void applyColumnWidths(Language language);
    // The width of the name column in the language; the other columns keep
    // the widths the user gave them.
    void applyNameColumnWidth(Language language);

    // The current cell goes to the value of the first parameter and the grid
    // takes the keyboard: typing works at once.
    void startAtFirstParameter();

    // The first scrollable row in view and setting it, as grid rows (the
    // first row shown at or after it).
    int topGridRow() const;
    void setTopGridRow(int gridRow);

    // The area jumps (Shift+F1, Shift+F2): the grid scrolls, the selected
    // cell stays.
    void jumpToPreviousArea();
    void jumpToNextArea();

    // Typed keys never search rows.
    void keyboardSearch(const QString& search) override;
    using QTableView::edit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ValueCellDelegate;

    bool documentOpen() const;
    bool isAreaJump(const QKeyEvent* event);
    void handleEnter(int gridRow, const QString& typed);
    void handleArrow(int gridRow);
    void handleTyping(int gridRow);
    void handleMousePress();
    void stepCurrentRow(int delta);
    void configureFrozenView();
    void updateFrozenGeometry();
    int frozenWidth() const;
    void rememberPlace();
    void restorePlace();

    ParameterGridModel* m_model = nullptr;
    GridEditCallbacks* m_callbacks = nullptr;
    QTableView* m_frozen = nullptr;
    // The cell under the last mouse press was already selected: releasing
    // the button on it starts the editor.
    bool m_pressedOnSelected = false;
    // Where the grid stood, as grid rows, while the filter changes the rows
    // shown (0: no current cell).
    struct Place {
        int currentRow = 0;
        int currentColumn = 0;
        int topRow = 1;
    };
    Place m_place;
};

} // namespace tess::gui
