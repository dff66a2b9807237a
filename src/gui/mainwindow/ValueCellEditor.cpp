#include "gui/mainwindow/ValueCellEditor.h"

#include <QMouseEvent>

namespace tess::gui {

ValueCellEditor::ValueCellEditor(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
}

void ValueCellEditor::keyPressEvent(QKeyEvent* event)
{
    m_openingClick = false;
    QLineEdit::keyPressEvent(event);
}

void ValueCellEditor::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_openingClick || event->button() != Qt::LeftButton) {
        QLineEdit::mouseDoubleClickEvent(event);
        return;
    }
    // The press of this second click has already put the caret under the
    // pointer; the whole value is selected again instead of one word.
    selectAll();
    event->accept();
}

void ValueCellEditor::mouseReleaseEvent(QMouseEvent* event)
{
    m_openingClick = false;
    QLineEdit::mouseReleaseEvent(event);
}

} // namespace tess::gui
