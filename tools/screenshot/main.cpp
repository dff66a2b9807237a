// Takes the README's pictures of the main window: a new data set on a demo
// installation, one value edited (bold, as changed from its default), in
// English and in Japanese, and the search box filtering the grid.
//
//   tessaline-screenshot INSTALLATION OUTPUT_FOLDER

#include "app/catalogue/SelectionScript.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "app/startup/Startup.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/settings/UserStore.h"
#include "gui/common/QtUi.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QIcon>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <string>

static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

using namespace tess;

// The first value row with one decimal place, where a changed value is easy
// to see with the grid scrolled to its top.
int rowToEdit(const Document& doc)
{
    for (int row = 1; row <= SlotCount; ++row)
        if (const std::optional<ParameterDef>& def = doc.table.def(row - 1); def && def->decimals == 1)
            return row;
    return 1;
}

// Lets the window lay itself out and paint.
void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaline-screenshot INSTALLATION OUTPUT_FOLDER\n");
        return 2;
    }
    initResources();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/tessaline.svg")));
    const std::string installation = QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString();
    const QDir output(QString::fromLocal8Bit(argv[2]));

    Workspace ws;
    MemoryUserStore store;
    store.writeInteger(UserValueEigo, 1);
    gui::QtUi ui;
    startUp(ws, ui, store, StartupEnvironment {installation + "/tessaline", "", "", ""});

    catalogue::SelectionChoice choice;
    choice.model = catalogue::Model::QM71;
    choice.controlMode = 0;
    choice.capacityIndex = catalogue::defaultCapacity(catalogue::Model::QM71);
    if (catalogue::runSelectionScript(ws, ui, catalogue::SelectionPurpose::NewDataSet, choice)
            != catalogue::ScriptOutcome::Accepted
        || createNewDataSet(ws, ui) != tables::LoadResult::Done) {
        std::fprintf(stderr, "tessaline-screenshot: no data set could be made on %s\n", installation.c_str());
        return 1;
    }

    gui::MainWindow form(ws, ui, store);
    ui.setOwner(&form);
    form.show();
    settle(300);

    const int row = rowToEdit(ws.doc);
    const struct {
        Language language;
        const char* value;
        const char* file;
    } shots[] = {{Language::English, "12.5", "main-window-en.png"}, {Language::Japanese, "13.5", "main-window-ja.png"}};
    for (const auto& shot : shots) {
        switchLanguage(ws, ui, store, shot.language);
        commitCellEdit(ws, ui, row, shot.value);
        form.refreshFromCore();
        form.resize(form.width(), 560);
        settle(300);
        const QString path = output.filePath(QString::fromLatin1(shot.file));
        if (!form.grab().save(path)) {
            std::fprintf(stderr, "tessaline-screenshot: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    // The search box at work: the rows whose name holds "time", the edited
    // one among them.
    switchLanguage(ws, ui, store, Language::English);
    commitCellEdit(ws, ui, row, "12.5");
    form.refreshFromCore();
    if (auto* search = form.findChild<QLineEdit*>(QStringLiteral("FindEdit1")))
        search->setText(QStringLiteral("time"));
    settle(300);
    const QString findPath = output.filePath(QStringLiteral("main-window-find-en.png"));
    if (!form.grab().save(findPath)) {
        std::fprintf(stderr, "tessaline-screenshot: cannot write %s\n", qPrintable(findPath));
        return 1;
    }
    std::printf("%s\n", qPrintable(findPath));

    // The picture is all that was wanted: the data set is not kept.
    ws.doc.state.saved = true;
    return 0;
}
