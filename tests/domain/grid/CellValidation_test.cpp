#include "app/common/Workspace.h"
#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/grid/CellValidation.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"

#include "support/CaseName.h"
#include "support/FakeUi.h"
#include "support/TypedTable.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tess {
namespace {

constexpr std::int32_t StoredValue = 7;

// ---- the form of an entry ------------------------------------------------

struct FormCase {
    const char* name;
    const char* typed;
    const char* decimals;
    const char* defaultText;
    CellOutcome outcome;
    std::int32_t value = 0; // when accepted
    std::optional<TextId> message {}; // when refused or outside the area
    // The second line under the refusal for the decimal places, in English:
    // the form the row wants. None: the message is the fixed text alone.
    const char* formLine = nullptr;
};

class CellEntryForm : public ::testing::TestWithParam<FormCase> { };

TEST_P(CellEntryForm, GivesItsVerdict)
{
    const FormCase& c = GetParam();
    CellEntry entry;
    entry.typed = c.typed;
    entry.decimals = parseInteger(c.decimals);
    entry.negativeDefault = c.defaultText[0] == '-';
    entry.code = "B-3";
    entry.ruleWords = {0, 0, 0, 0, 0};
    entry.stored = StoredValue;
    entry.row = 20;

    const CellVerdict verdict = validateCellEntry(entry);

    EXPECT_EQ(verdict.outcome, c.outcome);
    if (c.outcome == CellOutcome::Accepted) {
        EXPECT_EQ(verdict.value, c.value);
    }
    if (c.formLine) {
        // The fixed text stays the first line as it is.
        const Message fixed = message(*c.message);
        EXPECT_EQ(verdict.message.en, fixed.en + "\n" + c.formLine);
        EXPECT_TRUE(verdict.message.ja.starts_with(fixed.ja + "\n")) << verdict.message.ja;
    } else if (c.message) {
        EXPECT_EQ(verdict.message, message(*c.message)) << verdict.message.en;
    } else {
        EXPECT_EQ(verdict.message, Message {});
    }
}

const std::string overlongDigits(64, '1');
const std::string overlongNegative = "-" + std::string(63, '1');

INSTANTIATE_TEST_SUITE_P(Validation, CellEntryForm,
    ::testing::Values(FormCase {"OnePlaceStoresScaled", "12.5", "1", "1", CellOutcome::Accepted, 125},
        FormCase {"OnePlaceWithoutPoint", "125", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 125.0: 1 decimal place"},
        FormCase {"OnePlaceGivenTwo", "12.50", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 12.5: 1 decimal place"},
        FormCase {"OnePlaceGivenTwoSmall", "1.25", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 1.3: 1 decimal place"},
        FormCase {"ZeroPlacesGivenOne", "1.5", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 2: no decimal point"},
        FormCase {"TwoPlacesWithoutPoint", "50", "2", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 50.00: 2 decimal places"},
        FormCase {"TwoPlacesNegative", "-5.5", "2", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type -5.50: 2 decimal places"},
        // Where the number typed has no form that would pass, the stored
        // value shows the form, as the cell shows it again.
        FormCase {"FormBeyondFiveDigitsShowsStored", "99999", "1", "1", CellOutcome::Refused, 0,
            TextId::MsgCellDecimalPosition, "Type 0.7: 1 decimal place"},
        FormCase {"NoNumberShowsStored", "-1a", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition,
            "Type 0.7: 1 decimal place"},
        FormCase {
            "NegativeDecimalsHaveNoForm", "5", "-1", "1", CellOutcome::Refused, 0, TextId::MsgCellDecimalPosition},
        FormCase {"Zero", "0", "0", "1", CellOutcome::Accepted, 0},
        FormCase {"DoubleZero", "00", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellLeadingZero},
        FormCase {"LeadingZeroDigit", "05", "0", "1", CellOutcome::Accepted, 5},
        FormCase {"ZeroBeforePoint", "0.5", "1", "1", CellOutcome::Accepted, 5},
        FormCase {"DoubleZeroBeforePoint", "00.5", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellLeadingZero},
        FormCase {"NegativeZero", "-0", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {"LoneMinus", "-", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {"MinusPoint", "-.", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {"NegativeInteger", "-12", "0", "1", CellOutcome::Accepted, -12},
        FormCase {"NegativeBelowOne", "-0.5", "1", "1", CellOutcome::Accepted, -5},
        FormCase {"LeadingPointPositiveDefault", ".5", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellPrecheckWrong},
        FormCase {
            "LeadingPointNegativeDefault", ".5", "1", "-1", CellOutcome::Refused, 0, TextId::MsgCellPointPosition},
        FormCase {"TrailingPoint", "12.", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellPointPosition},
        FormCase {"TwoPointsTogether", "1..5", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellPointPosition},
        FormCase {"TwoPointsApart", "1.2.34", "2", "1", CellOutcome::Refused, 0, TextId::MsgCellPluralPoints},
        FormCase {"FiveDigits", "99999", "0", "1", CellOutcome::Accepted, 99999},
        FormCase {"SixDigits", "123456", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellSignificantFigures},
        FormCase {
            "SixDigitsWithPoint", "12345.6", "1", "1", CellOutcome::Refused, 0, TextId::MsgCellSignificantFigures},
        FormCase {"NegativeSixDigits", "-123456", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellSignificantFigures},
        FormCase {"Letter", "1a", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {
            "LetterAfterMinusIsNoNumber", "-1a", "0", "1", CellOutcome::OutsideArea, 0, TextId::MsgCellOutsideArea},
        FormCase {"EmptyPositiveDefault", "", "0", "1", CellOutcome::Refused, 0, TextId::MsgCellPrecheckWrong},
        FormCase {"EmptyNegativeDefault", "", "0", "-1", CellOutcome::Refused, 0, TextId::MsgCellPleaseInput},
        FormCase {"Overlong", overlongDigits.c_str(), "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {
            "OverlongNegative", overlongNegative.c_str(), "0", "1", CellOutcome::Refused, 0, TextId::MsgCellInputWrong},
        FormCase {"LongDefaultOnlyFirstCharacterCounts", "5", "0", "12345678901234567890", CellOutcome::Accepted, 5},
        FormCase {"RowWithoutParameter", "5", "", "", CellOutcome::OutsideArea, 0, TextId::MsgCellOutsideArea},
        FormCase {"DecimalsNoNumber", "5", "x", "1", CellOutcome::OutsideArea, 0, TextId::MsgCellOutsideArea},
        FormCase {"SameAsStored", "0.7", "1", "1", CellOutcome::Unchanged, StoredValue}),
    test::CaseName {});

// ---- the rules between "Fund.-0".."Fund.-2", "A-0" and "A-1" -------------

struct CrossCase {
    const char* name;
    const char* code;
    const char* typed;
    // The value column of the five rule rows as it stands, the edited one
    // already holding the typed text: F0, F1, F2, A0, A1.
    std::array<const char*, 5> rules;
    const char* decimals;
    std::optional<TextId> message; // none: accepted
};

class CellCrossRules : public ::testing::TestWithParam<CrossCase> { };

// The grid rows the rule parameters stand in, and one beside them.
int rowOfCode(std::string_view code)
{
    for (std::size_t i = 0; i < CrossRuleRows.size(); ++i)
        if (code == std::array<std::string_view, 5> {"Fund.-0", "Fund.-1", "Fund.-2", "A-0", "A-1"}[i])
            return CrossRuleRows[i];
    return 20;
}

TEST_P(CellCrossRules, GiveTheirVerdict)
{
    const CrossCase& c = GetParam();
    CellEntry entry;
    entry.typed = c.typed;
    entry.decimals = parseInteger(c.decimals);
    entry.code = c.code;
    entry.row = rowOfCode(c.code);
    for (std::size_t i = 0; i < entry.ruleWords.size(); ++i) {
        if (const std::optional<std::int32_t> word = tables::toScaledInteger(c.rules[i]))
            entry.ruleWords[i] = static_cast<std::int16_t>(*word);
    }
    entry.stored = StoredValue;

    const CellVerdict verdict = validateCellEntry(entry);

    if (c.message) {
        EXPECT_NE(verdict.outcome, CellOutcome::Accepted);
        EXPECT_EQ(verdict.message, message(*c.message)) << verdict.message.en;
    } else {
        EXPECT_EQ(verdict.outcome, CellOutcome::Accepted) << verdict.message.en;
    }
}

INSTANTIATE_TEST_SUITE_P(Validation, CellCrossRules,
    ::testing::Values(
        CrossCase {"A0BelowFund0", "A-0", "200", {"600", "0", "0", "200", "0"}, "0", TextId::MsgCellA0BelowFund0},
        CrossCase {"A0BelowRange", "A-0", "200", {"200", "0", "0", "200", "0"}, "0", TextId::MsgCellA0OutOfRange},
        CrossCase {"A0AboveRange", "A-0", "14701", {"200", "0", "0", "14701", "0"}, "0", TextId::MsgCellA0OutOfRange},
        CrossCase {"A0AtRangeTop", "A-0", "14700", {"200", "0", "0", "14700", "0"}, "0", std::nullopt},
        CrossCase {"A0InPointUnits", "A-0", "20.0", {"60.0", "0", "0", "20.0", "0"}, "1", TextId::MsgCellA0BelowFund0},
        CrossCase {"Fund0AboveA0", "Fund.-0", "601", {"601", "0", "0", "600", "0"}, "0", TextId::MsgCellFund0AboveA0},
        CrossCase {
            "Fund0BelowMinusA0", "Fund.-0", "-601", {"-601", "0", "0", "600", "0"}, "0", TextId::MsgCellFund0AboveA0},
        CrossCase {"Fund0AtMinusA0", "Fund.-0", "-600", {"-600", "0", "0", "600", "0"}, "0", std::nullopt},
        CrossCase {"Fund1BelowA1", "Fund.-1", "99", {"0", "99", "0", "600", "100"}, "0", TextId::MsgCellFund1BelowA1},
        CrossCase {"Fund1AtA1", "Fund.-1", "100", {"0", "100", "0", "600", "100"}, "0", std::nullopt},
        CrossCase {
            "Fund2AboveMinusA1", "Fund.-2", "-99", {"0", "0", "-99", "600", "100"}, "0", TextId::MsgCellFund2AboveA1},
        CrossCase {"Fund2AtMinusA1", "Fund.-2", "-100", {"0", "0", "-100", "600", "100"}, "0", std::nullopt},
        CrossCase {"A1AtA0", "A-1", "600", {"0", "0", "0", "600", "600"}, "0", TextId::MsgCellA1NotBelowA0},
        CrossCase {"A1BelowA0", "A-1", "599", {"0", "0", "0", "600", "599"}, "0", std::nullopt},
        CrossCase {"OtherCodeIgnoresRules", "B-3", "5", {"600", "0", "0", "200", "900"}, "0", std::nullopt},
        CrossCase {"RuleRowNoNumber", "B-3", "5", {"600", "0", "0", "", "0"}, "0", TextId::MsgCellOutsideArea}),
    test::CaseName {});

// ---- Enter, arrow keys and the mouse on a document -----------------------

// A document whose rows are filled by hand: the five rule rows, one
// parameter with a decimal place and a row without parameter.
constexpr int ParamRow = 20; // "B-3", one decimal place, stored 125
constexpr int BlankRow = 30; // no parameter

class CellEditingTest : public ::testing::Test {
protected:
    CellEditingTest()
    {
        ws.settings.language = Language::English;
        ws.doc.state.open = true;
        setRow(1, "Fund.-0", 600, 0, 600);
        setRow(2, "Fund.-1", 100, 0, 100);
        setRow(3, "Fund.-2", -100, 0, -100);
        setRow(12, "A-0", 1500, 0, 1500);
        setRow(13, "A-1", 100, 0, 100);
        setRow(ParamRow, "B-3", 10, 1, 125);
        ws.doc.table = table.table();
        ws.doc.content = GridContent::Table;
    }

    void setRow(int row, const char* code, std::int64_t defaultUnits, int decimals, std::int32_t value)
    {
        ParameterDef& def = table.record(row - 1, code);
        def.nameEnglish = "name";
        def.defaultUnits = defaultUnits;
        def.decimals = decimals;
        def.decimalsText = table.keep(std::to_string(decimals));
        def.significantFigures = 5;
        ws.doc.values[static_cast<std::size_t>(row - 1)] = value;
    }

    void showRaw() { ws.doc.content = GridContent::Raw; }

    std::string cell(int row) const { return gridText(ws, row, ColValue); }
    std::int32_t stored(int row) const { return ws.doc.values[static_cast<std::size_t>(row - 1)]; }

    test::TypedTable table;
    Workspace ws;
    test::FakeUi ui;
};

TEST_F(CellEditingTest, AcceptedEntryIsStoredAndShownInItsFormat)
{
    const CellCommitResult result = commitCellEdit(ws, ui, ParamRow, "03.5");

    EXPECT_EQ(result.outcome, CellOutcome::Accepted);
    EXPECT_TRUE(ws.view.commands.saveItem);
    EXPECT_EQ(stored(ParamRow), 35);
    EXPECT_EQ(cell(ParamRow), "3.5");
    EXPECT_TRUE(ws.doc.edit.justEdited);
    EXPECT_EQ(ws.doc.edit.row, ParamRow);
    EXPECT_FALSE(ws.doc.state.saved);
    EXPECT_EQ(ws.doc.edit.statusText, "B-3 data is changed !");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CellEditingTest, StatusTextFollowsLanguageAndRawDataSet)
{
    ws.settings.language = Language::Japanese;
    commitCellEdit(ws, ui, ParamRow, "12.6");
    EXPECT_EQ(ws.doc.edit.statusText, "B-3のデータを変更しました！");

    showRaw();
    commitCellEdit(ws, ui, ParamRow, "127");
    EXPECT_EQ(ws.doc.edit.statusText, "19番目のデータを変更しました！");

    ws.settings.language = Language::English;
    commitCellEdit(ws, ui, ParamRow, "128");
    EXPECT_EQ(ws.doc.edit.statusText, "19 data is changed !");
}

TEST_F(CellEditingTest, StoredValueAgainChangesNothing)
{
    ws.doc.edit.statusText = "B-3 data is changed !";

    const CellCommitResult result = commitCellEdit(ws, ui, ParamRow, "12.5");

    EXPECT_EQ(result.outcome, CellOutcome::Unchanged);
    EXPECT_FALSE(ws.view.commands.saveItem);
    EXPECT_TRUE(ws.doc.state.saved);
    EXPECT_FALSE(ws.doc.edit.justEdited);
    EXPECT_EQ(ws.doc.edit.statusText, "");
    EXPECT_EQ(cell(ParamRow), "12.5");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CellEditingTest, RefusalShowsMessageInLanguageAndRestoresCell)
{
    ws.settings.language = Language::Japanese;

    const CellCommitResult result = commitCellEdit(ws, ui, ParamRow, "125");

    EXPECT_EQ(result.outcome, CellOutcome::Refused);
    EXPECT_EQ(ui.shownTexts(),
        std::vector<std::string> {"小数点位置が異なります。\n125.0 のように入力してください（小数点以下1桁）"});
    EXPECT_EQ(stored(ParamRow), 125);
    EXPECT_EQ(cell(ParamRow), "12.5");
    EXPECT_TRUE(ws.doc.state.saved);
}

TEST_F(CellEditingTest, CrossRuleTakesTheEditedRowsTypedValue)
{
    commitCellEdit(ws, ui, 12, "500"); // "A-0" below "Fund.-0" at 600

    EXPECT_EQ(ui.englishTexts(), std::vector<std::string> {message(TextId::MsgCellA0BelowFund0).en});
    EXPECT_EQ(stored(12), 1500);
    EXPECT_EQ(cell(12), "1500");
}

TEST_F(CellEditingTest, EmptyEntryKeepsStoredValue)
{
    commitCellEdit(ws, ui, 3, ""); // "Fund.-2" has a negative default, so the entry is looked at

    EXPECT_EQ(ui.englishTexts(), std::vector<std::string> {"Please input data!"});
    EXPECT_EQ(stored(3), -100);
    EXPECT_EQ(cell(3), "-100");
    EXPECT_TRUE(ws.doc.state.saved);
}

TEST_F(CellEditingTest, RowWithoutParameterIsOutsideTheArea)
{
    const ParameterSet before = ws.doc.values;

    commitCellEdit(ws, ui, BlankRow, "5");

    EXPECT_EQ(ui.englishTexts(), std::vector<std::string> {"The input data exceeded a setting area."});
    EXPECT_EQ(cell(BlankRow), "");
    EXPECT_EQ(ws.doc.values, before);
    EXPECT_TRUE(ws.doc.state.saved);
}

TEST_F(CellEditingTest, RowsBeyondTheLastSlotHoldNoValue)
{
    showRaw();
    const int row = SlotCount + 1;

    const CellCommitResult result = commitCellEdit(ws, ui, row, "5");

    EXPECT_EQ(result.outcome, CellOutcome::OutsideArea);
    EXPECT_EQ(cell(row), "");
}

TEST_F(CellEditingTest, NothingHappensWithoutDocument)
{
    ws.doc.state.open = false;

    const CellCommitResult result = commitCellEdit(ws, ui, ParamRow, "99.9");

    EXPECT_FALSE(result.handled);
    EXPECT_EQ(stored(ParamRow), 125);
    EXPECT_EQ(cell(ParamRow), "12.5");
}

struct ArrowCase {
    const char* name;
    bool raw;
    bool compare;
    int row;
    const char* expected;
};

class CellArrowKey : public CellEditingTest, public ::testing::WithParamInterface<ArrowCase> { };

TEST_P(CellArrowKey, DropsTheTypedText)
{
    const ArrowCase& c = GetParam();
    if (c.raw)
        showRaw();
    ws.doc.state.compareMode = c.compare;

    abandonCellEdit(ws.doc, c.row);

    EXPECT_EQ(cell(c.row), c.expected);
    EXPECT_EQ(stored(ParamRow), 125);
}

INSTANTIATE_TEST_SUITE_P(CellEditing, CellArrowKey,
    ::testing::Values(ArrowCase {"ShowsStoredValue", false, false, ParamRow, "12.5"},
        ArrowCase {"RawDataSetShowsInteger", true, false, ParamRow, "125"},
        ArrowCase {"ComparisonShowsTheOpenValue", false, true, ParamRow, "12.5"},
        ArrowCase {"RowWithoutParameterEmptied", false, false, BlankRow, ""}),
    test::CaseName {});

TEST_F(CellEditingTest, MouseDownDropsTheTypingOnce)
{
    noteCellTyping(ws.doc, ParamRow);

    EXPECT_EQ(cellMouseDown(ws.doc), ParamRow);
    EXPECT_EQ(cell(ParamRow), "12.5");
    EXPECT_FALSE(ws.doc.edit.pendingRestore);
    EXPECT_EQ(cellMouseDown(ws.doc), 0);
}

TEST_F(CellEditingTest, EnterEndsThePendingRestore)
{
    noteCellTyping(ws.doc, ParamRow);
    commitCellEdit(ws, ui, ParamRow, "13.0");

    EXPECT_EQ(cellMouseDown(ws.doc), 0);
    EXPECT_EQ(cell(ParamRow), "13.0");
}

} // namespace
} // namespace tess
