#include "gui/app/Application.h"

#include <QApplication>
#include <QMainWindow>

namespace tess::gui {

int runApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("71Series Tessaline"));
    QMainWindow window;
    window.show();
    return QApplication::exec();
}

} // namespace tess::gui
