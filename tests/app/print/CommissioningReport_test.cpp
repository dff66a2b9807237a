#include "app/common/Workspace.h"
#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/print/CommissioningReportPresenter.h"
#include "domain/common/FileIo.h"
#include "domain/common/Sha256.h"
#include "domain/journal/JournalFolder.h"
#include "domain/journal/TransferJournal.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tess::print {
namespace {

using journal::JournalEnd;
using journal::JournalTransaction;

constexpr PageGeometry A4TenPerUnit {1010, 2200, Orientation::Portrait};

// The demo's default QM71 with two values changed, saved as pump3.csl.
class CommissioningReportFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(demo.newDefaultDataSet());
        firstChanged = test::oneDecimalRow(demo.ws.doc);
        secondChanged = test::oneDecimalRow(demo.ws.doc, firstChanged + 40);
        ASSERT_GT(firstChanged, 0);
        ASSERT_GT(secondChanged, 0);
        ASSERT_EQ(commitCellEdit(demo.ws, demo.ui, firstChanged, "12.5").outcome, CellOutcome::Accepted);
        ASSERT_EQ(commitCellEdit(demo.ws, demo.ui, secondChanged, "3.5").outcome, CellOutcome::Accepted);
        demo.ui.fileNames.push_back(pump());
        saveDocumentAs(demo.ws, demo.ui);
        ASSERT_TRUE(demo.ws.doc.state.saved);
        demo.ws.settings.journalFolder = demo.dir.file("journal");
        demo.ui.messages.clear();
    }

    std::string pump() const { return demo.dir.file("pump3.csl"); }

    // A write of 5 words to the drive named, the last two refused.
    void journalWrite(const std::string& model, const std::string& romCode, JournalTransaction transaction)
    {
        journal::TransferJournal journal(demo.ws.settings.journalFolder,
            journal::journalFileName("2026-12-11T01-42-05", journal::transactionName(transaction), 7));
        journal::JournalHeader h;
        h.transaction = transaction;
        h.utcTime = "2026-12-11T01:42:05Z";
        h.localTime = "2026-12-11 10:42:05 +0900";
        h.drive = {model + " " + romCode, model, romCode, 1, 34};
        h.dataFile = pump();
        h.verify = true;
        journal.header(h);
        journal.planned(5);
        for (int word = 0; word < 5; ++word) {
            const std::string code = "A-" + std::to_string(word);
            journal.wordAnnounced(word, code, 100);
            journal.wordSettled(word, code, word < 3 ? comm::WordOutcome::Taken : comm::WordOutcome::Refused, "no");
        }
        journal.end(JournalEnd::WordsRefused);
    }

    std::vector<std::string> codesOf(const CommissioningReportInput& in) const
    {
        std::vector<std::string> codes;
        for (const ReportGroup& group : in.groups)
            for (const ReportRow& row : group.rows)
                codes.push_back(row.code);
        return codes;
    }

    test::DemoWorkspace demo;
    int firstChanged = 0;
    int secondChanged = 0;
};

TEST_F(CommissioningReportFixture, ListsTheChangedRowsAsTheGridShowsThemWithTheFileAndItsHash)
{
    const CommissioningReportInput in
        = commissioningReportInput(demo.ws, ReportFields {"Plant 7", "PUMP-3", "K. Sato"}, Language::English, "now");

    EXPECT_EQ(codesOf(in),
        (std::vector<std::string> {
            gridText(demo.ws, firstChanged, ColCode), gridText(demo.ws, secondChanged, ColCode)}));
    const ReportRow& first = in.groups.front().rows.front();
    EXPECT_EQ(first.value, "12.5");
    EXPECT_EQ(first.defaultValue, gridText(demo.ws, firstChanged, ColDefault));
    EXPECT_EQ(first.range, gridText(demo.ws, firstChanged, ColRange));
    EXPECT_EQ(in.changedCount, 2);
    EXPECT_GT(in.parameterCount, 600);
    EXPECT_EQ(in.fileName, "pump3.csl");
    std::string bytes;
    ASSERT_TRUE(readFileBytes(pump(), bytes));
    EXPECT_EQ(in.fileSha256, sha256Hex(bytes));
    EXPECT_EQ(in.model, demo.ws.doc.identityTexts.model);
    EXPECT_EQ(in.site, "Plant 7");
    EXPECT_FALSE(in.transaction);
}

TEST_F(CommissioningReportFixture, ListingAllGivesEveryParameterOnceAndNamesInTheReportsLanguage)
{
    ReportFields fields;
    fields.listAll = true;
    const CommissioningReportInput in = commissioningReportInput(demo.ws, fields, Language::Japanese, "now");
    const std::vector<std::string> codes = codesOf(in);
    EXPECT_EQ(static_cast<int>(codes.size()), in.parameterCount);
    EXPECT_EQ(in.changedCount, 2);
    const GridSource japanese = gridSource(demo.ws.doc, Language::Japanese);
    const ReportRow& row = in.groups.front().rows.front();
    EXPECT_EQ(row.name, cellText(japanese, 1, ColName));
}

struct TransactionCase {
    const char* name;
    bool sameModel;
    bool sameRom;
    JournalTransaction transaction;
    bool reported;
};

class ReportTransactionFound : public CommissioningReportFixture,
                               public ::testing::WithParamInterface<TransactionCase> { };

TEST_P(ReportTransactionFound, OnlyAWriteToThisDrive)
{
    const TransactionCase& c = GetParam();
    const IdentityTexts& identity = demo.ws.doc.identityTexts;
    journalWrite(c.sameModel ? identity.model : "QM99", c.sameRom ? identity.romVersion : "99-Z9", c.transaction);

    const CommissioningReportInput in = commissioningReportInput(demo.ws, {}, Language::English, "now");
    ASSERT_EQ(in.transaction.has_value(), c.reported);
    if (!c.reported)
        return;
    EXPECT_EQ(in.transaction->time, "2026-12-11 10:42");
    EXPECT_EQ(in.transaction->written, 3);
    EXPECT_EQ(in.transaction->planned, 5);
    EXPECT_EQ(in.transaction->refusedCodes, (std::vector<std::string> {"A-3", "A-4"}));
    EXPECT_EQ(in.transaction->verify, "matched");
    EXPECT_EQ(in.transaction->outcome, "refused words");
}

INSTANTIATE_TEST_SUITE_P(CommissioningReport, ReportTransactionFound,
    ::testing::Values(TransactionCase {"WriteToThisDrive", true, true, JournalTransaction::Write, true},
        TransactionCase {"OtherModel", false, true, JournalTransaction::Write, false},
        TransactionCase {"OtherRomVersion", true, false, JournalTransaction::Write, false},
        TransactionCase {"ReadFromThisDrive", true, true, JournalTransaction::Read, false}),
    test::CaseName {});

TEST_F(CommissioningReportFixture, FieldsAreRememberedForTheNextReport)
{
    {
        CommissioningReportPresenter presenter(demo.ws, demo.store);
        EXPECT_EQ(presenter.output(), demo.dir.file("pump3.pdf"));
        presenter.setSite("Plant 7");
        presenter.setTag("PUMP-3");
        presenter.setEngineer("K. Sato");
        test::RecordingCanvas canvas(A4TenPerUnit);
        ASSERT_EQ(presenter.make(canvas, demo.ui, "now"), ReportResult::Written);
        EXPECT_EQ(presenter.lastPageCount(), canvas.pages);
    }
    const CommissioningReportPresenter next(demo.ws, demo.store);
    EXPECT_EQ(next.fields(), (ReportFields {"Plant 7", "PUMP-3", "K. Sato", false}));
}

enum class Situation { Ready, Unsaved, NoOutput, Closed };

struct ReadyCase {
    const char* name;
    Situation situation;
    std::optional<TextId> said;
};

class ReportReadiness : public CommissioningReportFixture, public ::testing::WithParamInterface<ReadyCase> { };

TEST_P(ReportReadiness, SaysWhyNot)
{
    const ReadyCase& c = GetParam();
    CommissioningReportPresenter presenter(demo.ws, demo.store);
    if (c.situation == Situation::Unsaved) {
        ASSERT_EQ(commitCellEdit(demo.ws, demo.ui, firstChanged, "13.5").outcome, CellOutcome::Accepted);
    }
    if (c.situation == Situation::NoOutput)
        presenter.setOutput("");
    if (c.situation == Situation::Closed)
        closeDocument(demo.ws, demo.ui);
    demo.ui.messages.clear();

    EXPECT_EQ(presenter.confirmReady(demo.ui, true), !c.said);
    if (c.said) {
        ASSERT_EQ(demo.ui.messages.size(), 1u);
        EXPECT_EQ(demo.ui.messages.front().text, message(*c.said));
    }
}

INSTANTIATE_TEST_SUITE_P(CommissioningReport, ReportReadiness,
    ::testing::Values(ReadyCase {"SavedWithOutput", Situation::Ready, std::nullopt},
        ReadyCase {"UnsavedChanges", Situation::Unsaved, TextId::ReportSaveFirst},
        ReadyCase {"NoOutputFile", Situation::NoOutput, TextId::ReportNoOutput},
        ReadyCase {"NoDataSet", Situation::Closed, TextId::ReportNeedsTable}),
    test::CaseName {});

TEST_F(CommissioningReportFixture, AFailingDeviceIsToldWithItsWord)
{
    CommissioningReportPresenter presenter(demo.ws, demo.store);
    test::RecordingCanvas canvas(A4TenPerUnit);
    canvas.failBegin = true;
    EXPECT_EQ(presenter.make(canvas, demo.ui, "now"), ReportResult::Failed);
    ASSERT_EQ(demo.ui.messages.size(), 1u);
    const std::string said = demo.ui.messages.front().text.en;
    EXPECT_NE(said.find("The report could not be made."), std::string::npos);
    EXPECT_NE(said.find("no printer"), std::string::npos);
}

TEST_F(CommissioningReportFixture, AFailedReportFileLeavesTheEarlierOneAsItWas)
{
    const std::string pdf = demo.dir.file("pump3.pdf");
    test::writeFile(pdf, "the report of last week");
    CommissioningReportPresenter presenter(demo.ws, demo.store);
    const PdfCanvasMaker failing = [](const std::string&) {
        auto canvas = std::make_unique<test::RecordingCanvas>(A4TenPerUnit);
        canvas->failBegin = true;
        return canvas;
    };
    EXPECT_EQ(presenter.makeFile(failing, demo.ui, "now"), ReportResult::Failed);
    std::string bytes;
    ASSERT_TRUE(readFileBytes(pdf, bytes));
    EXPECT_EQ(bytes, "the report of last week");
    ASSERT_EQ(demo.ui.messages.size(), 1u);
    EXPECT_EQ(demo.ui.messages.front().text.en, "The report could not be made.\n" + pdf);
}

TEST(ReportPath, TheDataFilesNameWithPdf)
{
    EXPECT_EQ(reportPathFor("/plant/pump3.csl"), "/plant/pump3.pdf");
    EXPECT_EQ(reportPathFor("/plant.d/pump3"), "/plant.d/pump3.pdf");
    EXPECT_EQ(reportPathFor(""), "");
}

} // namespace
} // namespace tess::print
