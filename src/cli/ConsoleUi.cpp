#include "cli/ConsoleUi.h"

namespace tess::cli {

void ConsoleUi::write(const std::string& text)
{
    if (m_muted)
        return;
    if (m_beforeWrite)
        m_beforeWrite();
    // Each line of a message about one of several files names the file, so
    // that the lines of one file can be picked out of a batch's messages.
    std::string_view rest = text;
    if (rest.ends_with('\n'))
        rest.remove_suffix(1);
    for (bool first = true;; first = false) {
        const std::size_t end = rest.find('\n');
        if (!m_file.empty())
            m_err << m_file << ": ";
        if (first && !m_context.empty())
            m_err << m_context << ": ";
        m_err << rest.substr(0, end) << '\n';
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
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

bool ConsoleUi::confirmSendingNotAllowed(const Message& text, const Message& caption, Language language)
{
    const std::string& title = caption.in(language);
    write(
        (title.empty() ? std::string() : title + ": ") + text.in(language) + (m_sendNotAllowed ? " -> Yes" : " -> No"));
    return m_sendNotAllowed;
}

} // namespace tess::cli
