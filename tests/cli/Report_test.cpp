#include "cli/Runner.h"

#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"

#include "cli/CliRun.h"
#include "support/Fakes.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace tess::cli {
namespace {

constexpr print::PageGeometry A4TenPerUnit {1010, 2200, print::Orientation::Portrait};

// Records the report and leaves a file where the PDF would be.
class RecordingFileCanvas : public test::RecordingCanvas {
public:
    RecordingFileCanvas(std::string path, std::vector<std::string>& collected)
        : RecordingCanvas(A4TenPerUnit)
        , m_path(std::move(path))
        , m_texts(collected)
    {
    }

    print::CanvasStatus endDocument() override
    {
        for (const Text& t : texts)
            m_texts.push_back(t.text);
        test::writeFile(m_path, "%PDF");
        return RecordingCanvas::endDocument();
    }

private:
    std::string m_path;
    std::vector<std::string>& m_texts;
};

class CliReport : public CliRun {
protected:
    void SetUp() override
    {
        CliRun::SetUp();
        ASSERT_EQ(run({"new", "--model", "QM71", "--capacity", "1R122", "--rom", "01-A1", "-o", csl()}), ExitDone)
            << err.str();
        ASSERT_EQ(run({"set", csl(), "A-3=220", "Fund.-0=50.00"}), ExitDone) << err.str();
    }

    void withRecordingCanvas()
    {
        env.reportCanvas
            = [this](const std::string& path) { return std::make_unique<RecordingFileCanvas>(path, drawn); };
    }

    bool wasDrawn(const std::string& text) const { return std::find(drawn.begin(), drawn.end(), text) != drawn.end(); }

    std::string csl() const { return dir.file("pump.csl"); }

    std::vector<std::string> drawn;
};

TEST_F(CliReport, DrawsTheHeaderFieldsAndTheChangedValuesIntoTheFile)
{
    withRecordingCanvas();
    const std::string pdf = dir.file("pump.pdf");
    ASSERT_EQ(
        run({"report", csl(), "-o", pdf, "--site", "Plant 7", "--tag", "PUMP-3", "--engineer", "K. Sato"}), ExitDone)
        << err.str();
    EXPECT_EQ(test::readFile(pdf), "%PDF");
    for (const char* expected : {"Plant 7", "PUMP-3", "K. Sato", "pump.csl", "A-3", "220", "Fund.-0", "50", ".00",
             "Changed from default: 2 of 665 parameters"})
        EXPECT_TRUE(wasDrawn(expected)) << expected;
}

TEST_F(CliReport, JapaneseWithLang)
{
    withRecordingCanvas();
    ASSERT_EQ(run({"report", csl(), "-o", dir.file("pump.pdf"), "--lang", "ja"}), ExitDone) << err.str();
    EXPECT_TRUE(wasDrawn("試運転報告書"));
}

TEST_F(CliReport, IsNotAvailableWithoutAPdfWriter)
{
    const std::string pdf = dir.file("pump.pdf");
    EXPECT_EQ(run({"report", csl(), "-o", pdf}), ExitUsage);
    EXPECT_NE(err.str().find(text(TextId::CliReportUnavailable, Language::English)), std::string::npos) << err.str();
    EXPECT_FALSE(fileExists(pdf));
}

TEST_F(CliReport, RefusesToWriteOverItsDataFile)
{
    withRecordingCanvas();
    const std::string before = test::readFile(csl());
    EXPECT_EQ(run({"report", csl(), "-o", csl()}), ExitRefused);
    EXPECT_EQ(test::readFile(csl()), before);
}

} // namespace
} // namespace tess::cli
