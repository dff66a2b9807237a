#include "app/comm/LogViewerPresenter.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/text/Texts.h"

namespace tess::comm {

std::string memoText(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    return text;
}

std::vector<std::string> memoLines(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

bool saveCommLogTelling(Workspace& ws, Ui& ui, const std::vector<std::string>& lines, const std::string& folder,
    const std::optional<Message>& lost)
{
    CommLogSave saved;
    {
        const BusyScope busy(ui);
        saved = saveCommLog(*ws.writer, lines, folder);
    }
    if (saved.notice)
        ui.showMessage(!saved.written && lost ? withCause(*saved.notice, *lost) : *saved.notice, ws.settings.language);
    return saved.written;
}

LogViewerPresenter::LogViewerPresenter(Workspace& ws, Ui& ui, std::string folder)
    : m_ws(ws)
    , m_ui(ui)
    , m_folder(std::move(folder))
{
    m_ws.view.logWindowOpen = true;
}

LogViewerPresenter::~LogViewerPresenter()
{
    // A window destroyed without closing (its owner went first) is not open either.
    if (!m_closed)
        m_ws.view.logWindowOpen = false;
}

std::string LogViewerPresenter::caption() const
{
    return std::string(text(TextId::LogWindowCaption, m_ws.settings.language));
}

std::vector<std::string> LogViewerPresenter::show()
{
    CommLogFile file = readCommLog(m_folder);
    switch (file.status) {
    case CommLogReadStatus::Read:
    case CommLogReadStatus::Missing:
        break;
    case CommLogReadStatus::Undecodable:
        m_ui.showMessage(message(TextId::CommLogUndecodable), m_ws.settings.language);
        break;
    case CommLogReadStatus::Unreadable:
        m_ui.showMessage(message(TextId::CommLogUnreadable), m_ws.settings.language);
        break;
    }
    m_shown = std::move(file.lines);
    return m_shown;
}

std::optional<std::vector<std::string>> LogViewerPresenter::showAgain(const std::vector<std::string>& memoLines)
{
    if (memoLines != m_shown) {
        const Answer answer = m_ui.ask(message(TextId::CommLogReloadDiscardsChanges), message(TextId::LogWindowCaption),
            Buttons::YesNo, m_ws.settings.language);
        if (answer != Answer::Yes)
            return std::nullopt;
    }
    return show();
}

bool LogViewerPresenter::close(const std::vector<std::string>& memoLines)
{
    if (memoLines != m_shown) {
        if (!saveCommLogTelling(m_ws, m_ui, memoLines, m_folder)) {
            const Answer answer = m_ui.ask(message(TextId::CommLogDiscardChanges), message(TextId::LogWindowCaption),
                Buttons::YesNo, m_ws.settings.language);
            if (answer != Answer::Yes)
                return false;
        }
    }
    m_closed = true;
    m_ws.view.logWindowOpen = false;
    return true;
}

} // namespace tess::comm
