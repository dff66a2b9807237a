#pragma once

#include <QIcon>

namespace tess::gui {

// The pictures of the ten tool buttons, drawn here rather than loaded:
// button 1 New, 2 Open, 3 Save As, 4 Close, 5 Data read, 6 Data write,
// 7 Log, 8 Inverter change, 9 Compare, 10 Print.
QIcon toolButtonIcon(int button);

} // namespace tess::gui
