#pragma once

#include "app/common/Ui.h"

#include <QPointer>
#include <QWidget>

namespace tess::gui {

// The application's Ui on Qt: message boxes and file dialogs owned by the main
// window, and the application's busy cursor.
class QtUi final : public Ui {
public:
    explicit QtUi(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const Message& text, Language language) override;
    Answer ask(const Message& text, const Message& caption, Buttons buttons, Language language) override;
    void setBusy(bool busy) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace tess::gui
