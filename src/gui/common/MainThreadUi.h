#pragma once

#include "app/common/Ui.h"

#include <QPointer>

class QObject;

namespace tess::gui {

// The Ui of work that runs on another thread: each call is carried out on
// the thread of the context object (the window's), while the calling thread
// waits for its answer, so message boxes and questions belong to the window
// and a question asked mid-transfer holds the transfer, not the window. On
// the context's own thread it calls straight through.
class MainThreadUi final : public Ui {
public:
    MainThreadUi(Ui& target, QObject* context);

    void showMessage(const Message& text, Language language) override;
    Answer ask(const Message& text, const Message& caption, Buttons buttons, Language language) override;
    void setBusy(bool busy) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    // Carried to the target as it is, not as a question of the base's: the
    // target may answer it as it was told beforehand.
    bool confirmSendingNotAllowed(const Message& text, const Message& caption, Language language) override;

private:
    template <typename Call> void onContextThread(Call&& call);

    Ui& m_target;
    QPointer<QObject> m_context;
};

} // namespace tess::gui
