#include "support/FakeUi.h"

namespace tess::test {

Answer FakeUi::ask(const Message& text, const Message& caption, Buttons, Language language)
{
    questions.push_back({text, language});
    questionCaptions.push_back(caption);
    if (onAsk)
        onAsk(text);
    if (answers.empty())
        return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

void FakeUi::setBusy(bool busy)
{
    busyDepth += busy ? 1 : -1;
    if (busy)
        ++busyCount;
}

std::optional<std::string> FakeUi::chooseOpenFile(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (fileNames.empty())
        return std::nullopt;
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
}

std::optional<std::string> FakeUi::chooseSaveFile(const FileDialogRequest& request)
{
    return chooseOpenFile(request);
}

std::vector<std::string> FakeUi::shownTexts() const
{
    std::vector<std::string> out;
    for (const auto& m : messages)
        out.push_back(m.inLanguage());
    return out;
}

std::vector<std::string> FakeUi::englishTexts() const
{
    std::vector<std::string> out;
    for (const auto& m : messages)
        out.push_back(m.text.en);
    return out;
}

} // namespace tess::test
