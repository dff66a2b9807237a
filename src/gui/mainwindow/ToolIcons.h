#pragma once

#include <QIcon>

namespace tess::gui {

// The pictures of the tool buttons, drawn here rather than loaded.
enum class ToolPicture { New, Open, SaveAs, Close, DataRead, DataWrite, Log, InverterChange, Compare, Print };
QIcon toolButtonIcon(ToolPicture picture);

} // namespace tess::gui
