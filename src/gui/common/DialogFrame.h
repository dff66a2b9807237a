#pragma once

#include <QDialog>
#include <QFont>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <utility>

namespace tess::gui {

// What every form does first: it takes its object name, by which tests
// and scripts find it, and the font of the window it belongs to.
inline void frameDialog(QDialog& dialog, const char* objectName, const QFont& font)
{
    dialog.setObjectName(QString::fromLatin1(objectName));
    dialog.setFont(font);
}

// The same with the font of its owner; a form without one keeps the
// application's.
inline void frameDialog(QDialog& dialog, const char* objectName, const QWidget* owner)
{
    dialog.setObjectName(QString::fromLatin1(objectName));
    if (owner)
        dialog.setFont(owner->font());
}

// A control of a form, made from its constructor's arguments and named from
// the form's table of object names.
template <typename Control, typename... Arguments>
Control* namedControl(const char* objectName, Arguments&&... arguments)
{
    auto* control = new Control(std::forward<Arguments>(arguments)...);
    control->setObjectName(QString::fromLatin1(objectName));
    return control;
}

// A button of a form: Return presses it only where the form makes it the
// default button, never because it has the focus.
template <typename... Arguments> QPushButton* formButton(const char* objectName, Arguments&&... arguments)
{
    auto* button = namedControl<QPushButton>(objectName, std::forward<Arguments>(arguments)...);
    button->setAutoDefault(false);
    return button;
}

} // namespace tess::gui
