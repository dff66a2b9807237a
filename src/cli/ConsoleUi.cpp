#include "cli/ConsoleUi.h"

namespace tess::cli {

void ConsoleUi::write(const std::string& text)
{
    if (m_muted)
        return;
    if (m_beforeWrite)
        m_beforeWrite();
    if (!m_context.empty())
        m_err << m_context << ": ";
    m_err << text;
    if (text.empty() || text.back() != '\n')
        m_err << '\n';
    m_err.flush();
}

void ConsoleUi::showMessage(const Message& text, Language language)
{
    write(text.in(language));
}

Answer ConsoleUi::ask(const Message& text, const Message& caption, Buttons buttons, Language language)
{
    Answer answer = buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    std::string_view reply = answer == Answer::Cancel ? " -> Cancel" : " -> No";
    if (m_answerYes) {
        answer = Answer::Yes;
        reply = " -> Yes";
    }
    const std::string& title = caption.in(language);
    write((title.empty() ? std::string() : title + ": ") + text.in(language) + std::string(reply));
    return answer;
}

} // namespace tess::cli
