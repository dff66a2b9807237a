// Sites and data sets are named in Japanese: the names are UTF-8 inside the
// program and must reach the system unchanged through every operation that
// takes a path, whatever code page the system runs in.
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/RecentFiles.h"
#include "app/startup/Startup.h"
#include "cli/Runner.h"
#include "domain/common/FileIo.h"
#include "mkdemo/DemoInstallation.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tess {
namespace {

// A demo installation in the folder 現場, whose tables are looked up there,
// and the data set 設定データ.csl beside it.
struct JapaneseSite {
    JapaneseSite()
    {
        std::string error;
        EXPECT_TRUE(demo::writeDemoInstallation(folder + "/", {}, &error)) << error;
        store.writeInteger(UserValueEigo, 1);
        startUp(ws, ui, store, StartupEnvironment {folder + "/tessaline", "", "", ""});
        ui.messages.clear();
    }

    // New (through the installation's tables), then Save As the data set.
    bool saveNewDataSet()
    {
        catalogue::ScriptedSelection selection;
        selection.choices.push_back(test::defaultQm71Choice());
        newDocument(ws, ui, selection);
        ui.fileNames.push_back(dataSet);
        saveDocumentAs(ws, ui);
        return ws.doc.state.saved && fileExists(dataSet);
    }

    int cli(std::vector<std::string> args)
    {
        cli::CliEnvironment env;
        env.startup.executablePath = folder + "/tessaline-cli";
        env.storedEigo = 1;
        out.str({});
        err.str({});
        return cli::runCommandLine(args, env, out, err);
    }

    test::TempDir dir;
    const std::string folder = dir.file("現場");
    const std::string dataSet = folder + "/設定データ.csl";
    Workspace ws;
    test::FakeUi ui;
    MemoryUserStore store;
    std::ostringstream out;
    std::ostringstream err;
};

// Makes folder the current one for its lifetime.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder)
        : m_before(std::filesystem::current_path())
    {
        std::filesystem::current_path(pathOf(folder));
    }
    ~CurrentFolder() { std::filesystem::current_path(m_before); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path m_before;
};

struct NameCase {
    const char* name;
    std::function<void(JapaneseSite&)> use;
};

class JapaneseNames : public ::testing::TestWithParam<NameCase> { };

TEST_P(JapaneseNames, ReachTheSystemUnchanged)
{
    JapaneseSite site;
    GetParam().use(site);
    EXPECT_EQ(site.ui.englishTexts(), std::vector<std::string> {});
}

INSTANTIATE_TEST_SUITE_P(, JapaneseNames,
    ::testing::Values(NameCase {"SavedThenOpened",
                          [](JapaneseSite& site) {
                              ASSERT_TRUE(site.saveNewDataSet());
                              const ParameterSet saved = site.ws.doc.values;
                              closeDocument(site.ws, site.ui);
                              site.ui.fileNames.push_back(site.dataSet);
                              openDocument(site.ws, site.ui);
                              EXPECT_EQ(site.ws.doc.state.fileName, site.dataSet);
                              EXPECT_EQ(site.ws.doc.values, saved);
                          }},
        NameCase {"ARecentFileReopens",
            [](JapaneseSite& site) {
                ASSERT_TRUE(site.saveNewDataSet());
                rememberUsedFiles(site.ws, site.store);
                closeDocument(site.ws, site.ui);
                ASSERT_EQ(recentFiles(site.store), std::vector<std::string> {test::nativePath(site.dataSet)});
                EXPECT_TRUE(openRecentFile(site.ws, site.ui, site.store, recentFiles(site.store).front()));
            }},
        NameCase {"ARecentFileNamedInItsFolder",
            [](JapaneseSite& site) {
                ASSERT_TRUE(site.saveNewDataSet());
                const CurrentFolder inTheSite(site.folder);
                addRecentFile(site.store, "設定データ.csl");
                EXPECT_EQ(recentFiles(site.store), std::vector<std::string> {test::nativePath(site.dataSet)});
            }},
        NameCase {"NamedAtStart",
            [](JapaneseSite& site) {
                EXPECT_EQ(fileToOpenAtStart(std::vector<std::string> {"tessaline", "設定データ.csl"}, site.folder),
                    test::nativePath(site.dataSet));
            }},
        NameCase {"MadeAndShownByTheCommandLine",
            [](JapaneseSite& site) {
                ASSERT_EQ(
                    site.cli({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", site.dataSet}),
                    cli::ExitDone)
                    << site.err.str();
                ASSERT_EQ(site.cli({"show", site.dataSet, "--area", "A"}), cli::ExitDone) << site.err.str();
                EXPECT_NE(site.out.str(), "");
            }}),
    test::CaseName {});

} // namespace
} // namespace tess
