#include "gui/mainwindow/ParameterGridView.h"

#include "app/common/Workspace.h"
#include "domain/grid/GridNavigation.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ValueCellEditor.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace tess::gui {

void WorkspaceGridEditing::enterPressed(int gridRow, const QString& typed)
{
    const CellCommitResult result = commitCellEdit(m_ws, m_ui, gridRow, typed.toStdString());
    if (committed)
        committed(result);
}

void WorkspaceGridEditing::arrowPressed(int gridRow)
{
    abandonCellEdit(m_ws.doc, gridRow);
}

void WorkspaceGridEditing::keyTyped(int gridRow)
{
    noteCellTyping(m_ws.doc, gridRow);
}

void WorkspaceGridEditing::mousePressed()
{
    cellMouseDown(m_ws.doc);
}

namespace {

// Any cell of the grid. Names and ranges often do not fit their columns; a
// cell whose text is cut off shows it whole as its tooltip, the others show
// none.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        if (sizeHint(option, index).width() > option.rect.width())
            QToolTip::showText(event->globalPos(), index.data().toString(), view->viewport(), option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};

// The frozen columns. They never take the keyboard, and would not search
// rows by typed keys if they did.
class FrozenColumnsView : public QTableView {
public:
    using QTableView::QTableView;

protected:
    void keyboardSearch(const QString&) override { }
};

} // namespace

// The editor of a value cell. Its text reaches the document only through
// Enter: leaving the editor any other way writes nothing, so the grid never
// shows an entry that is not stored.
class ValueCellDelegate : public GridCellDelegate {
public:
    explicit ValueCellDelegate(ParameterGridView* view)
        : GridCellDelegate(view)
        , m_view(view)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        auto* editor = new ValueCellEditor(parent);
        editor->setProperty(rowProperty, m_view->m_model->gridRow(index));
        return editor;
    }

    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override { }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (!editor || event->type() != QEvent::KeyPress)
            return GridCellDelegate::eventFilter(object, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const int row = editor->property(rowProperty).toInt();
        if (m_view->isAreaJump(key))
            return true;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString typed = editor->text();
            // Closed first: a refusal's message box takes the focus away.
            emit closeEditor(editor, NoHint);
            m_view->handleEnter(row, typed);
            return true;
        }
        case Qt::Key_Up:
        case Qt::Key_Down:
            emit closeEditor(editor, NoHint);
            m_view->handleArrow(row);
            m_view->stepCurrentRow(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            emit closeEditor(editor, NoHint);
            m_view->handleArrow(row);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Leaves the cell like a click elsewhere, without moving on to
            // another editor.
            emit closeEditor(editor, NoHint);
            m_view->handleTyping(row);
            return true;
        default:
            m_view->handleTyping(row);
            return GridCellDelegate::eventFilter(object, event);
        }
    }

private:
    static constexpr const char* rowProperty = "tessGridRow";
    ParameterGridView* m_view;
};

ParameterGridView::ParameterGridView(QWidget* parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("StringGrid1"));
    setItemDelegate(new ValueCellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Pixel steps sideways, so that the columns pass under the frozen ones.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(DefaultColumnWidth);
    horizontalHeader()->setHighlightSections(false);

    m_frozen = new FrozenColumnsView(this);
    m_frozen->setObjectName(QStringLiteral("StringGrid1Frozen"));
    m_frozen->setItemDelegate(new GridCellDelegate(m_frozen));
    m_frozen->setFocusPolicy(Qt::NoFocus);
    // No style sheet for the missing border: a widget with one stops taking
    // the window's font, and its rows would no longer match this view's.
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_frozen->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setWordWrap(false);
    m_frozen->verticalHeader()->hide();
    m_frozen->verticalHeader()->setMinimumSectionSize(1);
    m_frozen->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_frozen->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setHighlightSections(false);
    // The fixed columns keep the fixed-cell colour.
    QPalette fixed = m_frozen->palette();
    fixed.setColor(QPalette::Base, palette().color(QPalette::Button));
    m_frozen->setPalette(fixed);
    m_frozen->viewport()->installEventFilter(this);
    viewport()->stackUnder(m_frozen);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section < FrozenColumns) {
            m_frozen->setColumnWidth(section, size);
            updateFrozenGeometry();
        }
    });
    // Dragging a section edge of the frozen header widens the column in both
    // views; the width then stays until the program ends.
    connect(m_frozen->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section < FrozenColumns)
            setColumnWidth(section, size);
    });
    connect(
        m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(
        verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(), &QAbstractSlider::setValue);
    m_frozen->hide();
}

void ParameterGridView::setGridModel(ParameterGridModel* model)
{
    m_model = model;
    setModel(model);
    m_frozen->setModel(model);
    m_frozen->setSelectionModel(selectionModel());
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &ParameterGridView::configureFrozenView);
        connect(model, &ParameterGridModel::shownRowsAboutToChange, this, &ParameterGridView::rememberPlace);
        connect(model, &ParameterGridModel::shownRowsChanged, this, &ParameterGridView::restorePlace);
    }
    configureFrozenView();
    m_frozen->setVisible(model != nullptr);
}

void ParameterGridView::configureFrozenView()
{
    if (!m_model)
        return;
    for (int column = 0; column < GridColumnCount; ++column) {
        m_frozen->setColumnHidden(column, column >= FrozenColumns);
        if (column < FrozenColumns)
            m_frozen->setColumnWidth(column, columnWidth(column));
    }
    QHeaderView* frozenHeader = m_frozen->horizontalHeader();
    frozenHeader->setSectionResizeMode(ColCode, QHeaderView::Fixed);
    frozenHeader->setSectionResizeMode(ColName, QHeaderView::Interactive);
    frozenHeader->setSectionResizeMode(ColRange, QHeaderView::Interactive);
    m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
    updateFrozenGeometry();
}

void ParameterGridView::applyColumnWidths(Language language)
{
    const int w = DefaultColumnWidth;
    setColumnWidth(ColCode, w);
    applyNameColumnWidth(language);
    setColumnWidth(ColRange, 3 * w);
    for (int column = ColDefault; column < GridColumnCount; ++column)
        setColumnWidth(column, w);
}

void ParameterGridView::applyNameColumnWidth(Language language)
{
    setColumnWidth(ColName, (language == Language::Japanese ? 3 : 2) * DefaultColumnWidth);
}

void ParameterGridView::startAtFirstParameter()
{
    if (!m_model || m_model->rowCount() == 0)
        return;
    int row = 0;
    while (row < m_model->rowCount() && m_model->index(row, ColCode).data().toString().isEmpty())
        ++row;
    if (row == m_model->rowCount())
        row = 0;
    setCurrentIndex(m_model->index(row, ColValue));
    setFocus(Qt::OtherFocusReason);
}

int ParameterGridView::frozenWidth() const
{
    int width = 0;
    for (int column = 0; column < FrozenColumns; ++column)
        width += columnWidth(column);
    return width;
}

void ParameterGridView::updateFrozenGeometry()
{
    m_frozen->setGeometry(frameWidth(), frameWidth(), frozenWidth() + m_frozen->frameWidth() * 2,
        viewport()->height() + horizontalHeader()->height());
}

void ParameterGridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    updateFrozenGeometry();
}

void ParameterGridView::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_frozen)
        return;
    // The frozen columns' rows start below their own header. It must be
    // exactly as high as this one, whatever the fonts make of the titles, or
    // a code and name sit beside another row's value.
    m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    updateFrozenGeometry();
}

bool ParameterGridView::documentOpen() const
{
    return m_model && m_model->documentOpen();
}

int ParameterGridView::topGridRow() const
{
    const int top = verticalScrollBar()->value();
    if (!m_model || top >= m_model->rowCount())
        return top + 1;
    return m_model->gridRow(m_model->index(top, ColCode));
}

void ParameterGridView::setTopGridRow(int gridRow)
{
    verticalScrollBar()->setValue(m_model ? m_model->modelRowFrom(gridRow) : gridRow - 1);
}

void ParameterGridView::jumpToPreviousArea()
{
    if (!documentOpen())
        return;
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    if (const auto row = previousAreaTop(m_model->workspace().doc.table.areaFirst, m_model->filtered().rows, top))
        verticalScrollBar()->setValue(static_cast<int>(*row));
}

void ParameterGridView::jumpToNextArea()
{
    if (!documentOpen())
        return;
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    if (const auto row = nextAreaTop(m_model->workspace().doc.table.areaFirst, m_model->filtered().rows, top))
        verticalScrollBar()->setValue(static_cast<int>(*row));
}

void ParameterGridView::rememberPlace()
{
    const QModelIndex current = currentIndex();
    m_place.currentRow = current.isValid() ? m_model->gridRow(current) : 0;
    m_place.currentColumn = current.isValid() ? current.column() : 0;
    m_place.topRow = topGridRow();
}

void ParameterGridView::restorePlace()
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    setTopGridRow(m_place.topRow);
    if (m_place.currentRow > 0) {
        // A row the filter hides hands the cursor to the next one shown.
        const int row = std::min(m_model->modelRowFrom(m_place.currentRow), rows - 1);
        setCurrentIndex(m_model->index(row, m_place.currentColumn));
    }
}

bool ParameterGridView::isAreaJump(const QKeyEvent* event)
{
    if (!(event->modifiers() & Qt::ShiftModifier))
        return false;
    if (event->key() == Qt::Key_F1) {
        jumpToPreviousArea();
        return true;
    }
    if (event->key() == Qt::Key_F2) {
        jumpToNextArea();
        return true;
    }
    return false;
}

void ParameterGridView::handleEnter(int gridRow, const QString& typed)
{
    if (m_callbacks)
        m_callbacks->enterPressed(gridRow, typed);
    if (m_model)
        m_model->valueColumnChanged();
}

void ParameterGridView::handleArrow(int gridRow)
{
    if (m_callbacks)
        m_callbacks->arrowPressed(gridRow);
    if (m_model)
        m_model->valueColumnChanged();
}

void ParameterGridView::handleTyping(int gridRow)
{
    if (m_callbacks)
        m_callbacks->keyTyped(gridRow);
}

void ParameterGridView::handleMousePress()
{
    if (!m_callbacks)
        return;
    m_callbacks->mousePressed();
    if (m_model)
        m_model->valueColumnChanged();
}

void ParameterGridView::stepCurrentRow(int delta)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const QModelIndex next = m_model->index(current.row() + delta, current.column());
    if (next.isValid())
        setCurrentIndex(next);
}

void ParameterGridView::keyPressEvent(QKeyEvent* event)
{
    if (!documentOpen()) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (isAreaJump(event))
        return;
    const QModelIndex current = currentIndex();
    const bool onValue = current.isValid() && current.column() == ColValue;
    const int row = m_model->gridRow(current);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onValue && state() != EditingState)
            handleEnter(row, current.data(Qt::EditRole).toString());
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (onValue)
            handleArrow(row);
        break;
    default:
        if (onValue)
            handleTyping(row);
        break;
    }
    QTableView::keyPressEvent(event);
}

void ParameterGridView::keyboardSearch(const QString&)
{
    // A key typed on a cell starts an entry or does nothing. Searching would
    // move the cursor to another row under the typist's fingers.
}

bool ParameterGridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (trigger != SelectedClicked)
        return QTableView::edit(index, trigger, event);
    // A click on the selected value cell opens the editor at once. Qt waits
    // a double-click interval first, and the keys typed meanwhile would reach
    // the view instead of the editor. The click may be the first of a
    // double-click whose second click then lands in the editor.
    if (!m_pressedOnSelected)
        return false;
    const bool wasOpen = indexWidget(index) != nullptr;
    if (!QTableView::edit(index, AllEditTriggers, nullptr))
        return false;
    if (auto* editor = qobject_cast<ValueCellEditor*>(indexWidget(index)); editor && !wasOpen)
        editor->openedByClick();
    return true;
}

void ParameterGridView::mousePressEvent(QMouseEvent* event)
{
    handleMousePress();
    const QModelIndex index = indexAt(event->position().toPoint());
    m_pressedOnSelected = index.isValid() && selectionModel() && selectionModel()->isSelected(index);
    if (index.isValid() && !(index.flags() & Qt::ItemIsSelectable)) {
        // Cells other than an open document's values are not selected.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

bool ParameterGridView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_frozen->viewport()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            handleMousePress();
            setFocus(Qt::MouseFocusReason);
            return true;
        }
        if (event->type() == QEvent::Wheel) {
            // Scroll both views as one.
            QCoreApplication::sendEvent(viewport(), event);
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

QModelIndex ParameterGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!documentOpen() || !next.isValid() || next.column() == ColValue)
        return next;
    // The cursor stays in the value column: sideways it does not move.
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() == ColValue && current.row() == next.row())
        return current;
    return m_model->index(next.row(), ColValue);
}

void ParameterGridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || index.column() < FrozenColumns)
        return;
    // A cell scrolled to must not end up under the frozen columns.
    const int hidden = frozenWidth() - visualRect(index).left();
    if (hidden > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
}

} // namespace tess::gui
