#pragma once

namespace tess::gui {

// Runs the program: start-up, the main window and the event loop.
int runApplication(int argc, char** argv);

} // namespace tess::gui
