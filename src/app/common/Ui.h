#pragma once

#include "domain/common/Language.h"
#include "domain/common/Message.h"

#include <optional>
#include <string>

namespace tess {

enum class Buttons { YesNo, YesNoCancel };
enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    std::string filter; // "Console Data(*.csl)|*.csl"
    std::string fileName; // initial file name or path
    std::string defaultExtension; // without the dot; empty for none
    bool confirmOverwrite = false;
    bool multiSelect = false;
};

// Everything the application needs from the person in front of the screen. The GUI
// implements it with message boxes and dialogs; tests record and answer.
class Ui {
public:
    virtual ~Ui() = default;

    // A plain information box with an OK button.
    virtual void showMessage(const Message& text, Language language) = 0;
    // A question with a question icon.
    virtual Answer ask(const Message& text, const Message& caption, Buttons buttons, Language language) = 0;
    // The hourglass cursor; calls nest.
    virtual void setBusy(bool busy) = 0;
    // Empty when the user cancels. With multiSelect the paths come separated by '\n'.
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;

    // Before a write: words that their table rows would not take are about
    // to go to the drive (`text` lists them). True: send them as they are.
    // A person is asked, No being the safe answer; a caller without one
    // answers as it was told beforehand.
    virtual bool confirmSendingNotAllowed(const Message& text, const Message& caption, Language language)
    {
        return ask(text, caption, Buttons::YesNo, language) == Answer::Yes;
    }
};

// Shows the hourglass for the lifetime of the scope.
class BusyScope {
public:
    explicit BusyScope(Ui& ui)
        : m_ui(ui)
    {
        m_ui.setBusy(true);
    }
    ~BusyScope() { m_ui.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Ui& m_ui;
};

} // namespace tess
