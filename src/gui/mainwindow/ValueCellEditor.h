#pragma once

#include <QLineEdit>

namespace tess::gui {

// The editor of a value cell. The grid opens it with the whole value
// selected, so that what the user types replaces the value unless they move
// the caret themselves. Opened by a click, it keeps that selection through
// the second click of a double-click: that click lands in the editor, where a
// line edit selects the word under the pointer, and the digits typed next
// would replace only the "0" after the point of "10.0".
class ValueCellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit ValueCellEditor(QWidget* parent = nullptr);

    // The editor was opened by a click that may be the first of a double-click.
    void openedByClick() { m_openingClick = true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Until the user's own first click or key in the editor, a double-click
    // there ends the click that opened it.
    bool m_openingClick = false;
};

} // namespace tess::gui
