#include "gui/app/Application.h"

#include "app/common/Workspace.h"
#include "app/startup/Startup.h"
#include "domain/settings/UserStore.h"
#include "gui/common/QtText.h"
#include "gui/common/QtUi.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <exception>
#include <memory>

// The resources live in the gui library; a static library's resources must
// be named once by the program, or the linker leaves them out.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace tess::gui {

int runApplication(int argc, char** argv)
{
    initResources();
    QApplication app(argc, argv);
    QApplication::setApplicationName(textOf(TextId::ApplicationTitle, Language::English));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/tessaline.svg")));
    try {
        auto ws = std::make_unique<Workspace>();
        FileUserStore store(defaultUserStorePath());
        QtUi ui;
        startUp(*ws, ui, store, currentStartupEnvironment());
        MainWindow form(*ws, ui, store);
        ui.setOwner(&form);
        form.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

} // namespace tess::gui
