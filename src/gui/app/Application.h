#pragma once

#include <QStringList>

namespace tess::gui {

class MainWindow;

// Runs the program: start-up, the main window and the event loop.
int runApplication(int argc, char** argv);

// `tessaline FILE.csl`: once the event loop runs, the window opens the data
// set file that the program's arguments (QApplication::arguments(), the
// program name first) name, as a dropped file is opened. Nothing when they
// name none.
void openFileNamedAtStart(MainWindow& form, const QStringList& arguments);

} // namespace tess::gui
