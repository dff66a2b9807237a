#pragma once

#include "app/common/Ui.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace tess::gui {

// The program's open and save dialogs, with hooks so that tests choose the
// file without a dialog.
class FileDialog {
public:
    // Paths in the file system's encoding; nothing when the user cancels.
    // With multiSelect the paths come separated by '\n'.
    static std::optional<std::string> chooseOpen(QWidget* parent, const FileDialogRequest& request);
    static std::optional<std::string> chooseSave(QWidget* parent, const FileDialogRequest& request);

    // Test hooks: the next dialog is not shown and gives this path (nothing
    // for a cancelled dialog). Answers queue up.
    static void setNextFileName(std::optional<QString> path);
    // The request of the last dialog, shown or answered.
    static FileDialogRequest lastRequest();
};

// "Console Data(*.csl)|*.csl" (description|patterns pairs, patterns split by
// ';') as a Qt name filter list.
QString qtNameFilters(std::string_view filter);

} // namespace tess::gui
