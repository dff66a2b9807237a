#include "gui/app/Application.h"

#include "app/common/Workspace.h"
#include "app/startup/Startup.h"
#include "domain/journal/JournalFolder.h"
#include "domain/settings/UserStore.h"
#include "gui/common/QtText.h"
#include "gui/common/QtUi.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The resources live in the gui library; a static library's resources must
// be named once by the program, or the linker leaves them out.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace tess::gui {

void openFileNamedAtStart(MainWindow& form, const QStringList& arguments)
{
    std::vector<std::string> args;
    for (const QString& argument : arguments)
        args.push_back(toPath(argument));
    const std::optional<std::string> path = fileToOpenAtStart(args, toPath(QDir::currentPath()));
    if (!path)
        return;
    QTimer::singleShot(0, &form, [&form, file = *path] { form.openFileByPath(file); });
}

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
        startUp(*ws, ui, store, currentStartupEnvironment(), currentInstallationAccess());
        // The window's transfers keep their journals and lock their ports
        // as tessaline-cli's do.
        ws->settings.journalFolder = journal::defaultJournalFolder();
        ws->settings.runtimeFolder = journal::defaultRuntimeFolder();
        MainWindow form(*ws, ui, store);
        ui.setOwner(&form);
        form.show();
        openFileNamedAtStart(form, QApplication::arguments());
        QTimer::singleShot(0, &form, [&form] { form.offerInterruptedWrite(); });
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(e.what()));
        return 1;
    }
}

} // namespace tess::gui
