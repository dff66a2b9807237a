#pragma once

#include "app/common/Ui.h"

#include <functional>
#include <ostream>
#include <string>

namespace tess::cli {

// The Ui of the command line: no box and no dialog. Every message goes as a
// line to the error stream in the language it is shown in, led by the entry
// it concerns when there is one; questions are answered No (or Cancel where
// that is offered) and file dialogs are cancelled, so nothing is done that a
// person would have had to agree to, unless the command line agreed to it
// beforehand (setAnswerYes).
class ConsoleUi final : public Ui {
public:
    explicit ConsoleUi(std::ostream& err)
        : m_err(err)
    {
    }

    void showMessage(const Message& text, Language language) override;
    Answer ask(const Message& text, const Message& caption, Buttons buttons, Language language) override;
    void setBusy(bool) override { }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }

    // Leads the following messages ("A-0=20: ..."); "" for none.
    void setContext(std::string context) { m_context = std::move(context); }
    // The data file the following messages concern, leading each of their
    // lines, before the context ("pump.csl: A-0=20: ..."); "" for none.
    void setFile(std::string file) { m_file = std::move(file); }
    // Messages while muted are dropped.
    void setMuted(bool muted) { m_muted = muted; }
    // While on, questions are answered Yes: for the span of a job whose only
    // questions the command line has answered with a flag.
    void setAnswerYes(bool yes) { m_answerYes = yes; }
    // Words outside their table rows go to the drive only when the command
    // line said so (write --send-out-of-range), whatever else is answered Yes.
    bool confirmSendingNotAllowed(const Message& text, const Message& caption, Language language) override;
    void setSendNotAllowed(bool send) { m_sendNotAllowed = send; }
    // Called before each line is written, so that whatever shares the error
    // stream (a progress line) can make room; nothing for none.
    void setBeforeWrite(std::function<void()> beforeWrite) { m_beforeWrite = std::move(beforeWrite); }

private:
    void write(const std::string& text);

    std::ostream& m_err;
    std::string m_file;
    std::string m_context;
    bool m_muted = false;
    bool m_answerYes = false;
    bool m_sendNotAllowed = false;
    std::function<void()> m_beforeWrite;
};

} // namespace tess::cli
