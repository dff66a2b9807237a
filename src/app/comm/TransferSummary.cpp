#include "app/comm/TransferSummary.h"

namespace tess::comm {
namespace {

TextId endText(TransferEnd end)
{
    switch (end) {
    case TransferEnd::Done:
        return TextId::TransSummaryDone;
    case TransferEnd::Failed:
        return TextId::TransSummaryFailed;
    case TransferEnd::StoppedByUser:
        return TextId::TransSummaryStopped;
    case TransferEnd::WordsRefused:
        return TextId::TransSummaryWordsRefused;
    case TransferEnd::VerifyDiffers:
        return TextId::TransSummaryVerifyDiffers;
    }
    return TextId::TransSummaryFailed;
}

} // namespace

std::vector<std::string> transferSummary(TransferEnd end, const std::optional<WriteFacts>& write, Language language)
{
    std::vector<std::string> lines {std::string(text(endText(end), language))};
    if (!write)
        return lines;
    const auto add = [&](TextId id, std::string_view a = {}, std::string_view b = {}, std::string_view c = {}) {
        lines.push_back(message(id, a, b, c).in(language));
    };
    add(TextId::TransSummaryWritten, std::to_string(write->written), std::to_string(write->planned));
    for (const RefusedWord& word : write->refused) {
        const std::string named = word.name.empty() ? word.code : word.code + " " + word.name;
        add(TextId::TransSummaryRefused, named, text(word.reason, language));
    }
    for (const HiddenArea& hidden : write->hiddenNotTaken)
        add(TextId::TransHiddenAreaNotTaken, std::to_string(hidden.words), hidden.area);
    for (const CodeRange& range : write->notSent) {
        if (range.first == range.last)
            add(TextId::TransSummaryNotSentOne, range.first);
        else
            add(TextId::TransSummaryNotSent, range.first, range.last);
    }
    for (const std::string& code : write->noAnswer)
        add(TextId::TransSummaryNoAnswer, code);
    if (!write->verify)
        add(TextId::TransSummaryVerifyNotRun);
    else if (write->verify->differing == 0)
        add(TextId::TransSummaryVerifyMatch, std::to_string(write->verify->compared));
    else
        add(TextId::TransSummaryVerifyDiffer, std::to_string(write->verify->compared),
            std::to_string(write->verify->differing));
    return lines;
}

} // namespace tess::comm
