#include "gui/common/MainThreadUi.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace tess::gui {

MainThreadUi::MainThreadUi(Ui& target, QObject* context)
    : m_target(target)
    , m_context(context)
{
}

template <typename Call> void MainThreadUi::onContextThread(Call&& call)
{
    if (!m_context || QThread::currentThread() == m_context->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(m_context, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}

void MainThreadUi::showMessage(const Message& text, Language language)
{
    onContextThread([&] { m_target.showMessage(text, language); });
}

Answer MainThreadUi::ask(const Message& text, const Message& caption, Buttons buttons, Language language)
{
    Answer answer = Answer::Cancel;
    onContextThread([&] { answer = m_target.ask(text, caption, buttons, language); });
    return answer;
}

bool MainThreadUi::confirmSendingNotAllowed(const Message& text, const Message& caption, Language language)
{
    bool send = false;
    onContextThread([&] { send = m_target.confirmSendingNotAllowed(text, caption, language); });
    return send;
}

void MainThreadUi::setBusy(bool busy)
{
    onContextThread([&] { m_target.setBusy(busy); });
}

std::optional<std::string> MainThreadUi::chooseOpenFile(const FileDialogRequest& request)
{
    std::optional<std::string> path;
    onContextThread([&] { path = m_target.chooseOpenFile(request); });
    return path;
}

std::optional<std::string> MainThreadUi::chooseSaveFile(const FileDialogRequest& request)
{
    std::optional<std::string> path;
    onContextThread([&] { path = m_target.chooseSaveFile(request); });
    return path;
}

} // namespace tess::gui
