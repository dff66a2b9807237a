#include "app/datafile/ValueCheck.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/Document.h"
#include "domain/text/Texts.h"

#include <algorithm>

namespace tess::datafile {

std::vector<ValueFailure> checkDocumentValues(const Document& doc)
{
    if (doc.content != GridContent::Table)
        return {};
    return checkDataSet(doc.table, doc.values, doc.identity.capacity);
}

Message valueFailuresNotice(const std::string& path, const std::vector<ValueFailure>& failures, std::size_t listed)
{
    Message notice = message(failures.size() == 1 ? TextId::ValueCheckOneFailed : TextId::ValueCheckFailed, path,
        std::to_string(failures.size()));
    const auto line = [&notice](const Message& text) { notice = withCause(notice, text); };
    for (std::size_t i = 0; i < failures.size() && i < listed; ++i)
        line(describeValueFailure(failures[i]));
    if (failures.size() > listed)
        line(message(TextId::ValueCheckMore, std::to_string(failures.size() - listed)));
    return notice;
}

std::vector<ValueFailure> wordsNotAllowed(const Document& doc, const std::vector<comm::WordSpan>& ranges)
{
    std::vector<ValueFailure> failures = checkDocumentValues(doc);
    std::erase_if(failures, [&ranges](const ValueFailure& failure) {
        return std::none_of(ranges.begin(), ranges.end(),
            [&failure](const comm::WordSpan& span) { return span.contains(failure.slot); });
    });
    return failures;
}

Message wordsToSendList(const std::vector<ValueFailure>& failures)
{
    Message list = message(TextId::WriteNotAllowedList, std::to_string(failures.size()));
    for (const ValueFailure& failure : failures)
        list = withCause(list, describeValueFailure(failure));
    return list;
}

bool confirmWordsToSend(const Workspace& ws, Ui& ui, const std::vector<comm::WordSpan>& ranges)
{
    const std::vector<ValueFailure> failures = wordsNotAllowed(ws.doc, ranges);
    if (failures.empty())
        return true;
    return ui.confirmSendingNotAllowed(withCause(wordsToSendList(failures), message(TextId::WriteNotAllowedQuestion)),
        message(TextId::WriteNotAllowedCaption), ws.settings.language);
}

} // namespace tess::datafile
