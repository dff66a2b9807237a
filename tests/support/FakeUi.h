#pragma once

#include "app/common/Ui.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tess::test {

// Records every message and question; answers questions and file dialogs
// from queues (an empty queue answers Cancel / no file).
class FakeUi : public Ui {
public:
    struct Shown {
        Message text;
        Language language;
        std::string inLanguage() const { return text.in(language); }
    };

    void showMessage(const Message& text, Language language) override { messages.push_back({text, language}); }
    Answer ask(const Message& text, const Message& caption, Buttons buttons, Language language) override;
    void setBusy(bool busy) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;
    // Recorded apart from the other questions and answered by
    // sendNotAllowed: tests of the line send the words they made up.
    bool confirmSendingNotAllowed(const Message& text, const Message&, Language language) override
    {
        notAllowedQuestions.push_back({text, language});
        return sendNotAllowed;
    }

    // The messages as shown, in the language they were shown in.
    std::vector<std::string> shownTexts() const;
    std::vector<std::string> englishTexts() const;

    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::vector<Message> questionCaptions;
    std::vector<FileDialogRequest> fileRequests;
    std::deque<Answer> answers;
    // Called with each question before it is answered.
    std::function<void(const Message& question)> onAsk;
    std::vector<Shown> notAllowedQuestions;
    bool sendNotAllowed = true;
    std::deque<std::optional<std::string>> fileNames;
    int busyDepth = 0;
    int busyCount = 0; // how often the hourglass was shown
};

} // namespace tess::test
