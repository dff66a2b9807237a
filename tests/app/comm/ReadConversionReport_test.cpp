// A data read or a compare with the drive reports what converting the
// drive's image did, as an Inverter change reports its words.
#include "app/comm/SerialTransferPresenter.h"
#include "app/mainwindow/Commands.h"

#include "TransactionFixture.h"
#include "support/CaseName.h"

#include <algorithm>

namespace tess::comm {
namespace {

using tables::ConversionKind;
using tables::ConversionRow;

struct DriveCase {
    const char* name;
    int capacity; // the capacity code the drive sends
    bool doubled; // the first word of area F doubled for the 400 V class
};

class ReadReport : public Transaction, public ::testing::WithParamInterface<DriveCase> {
protected:
    // Reads a QM71 drive of the case's capacity with 340 in the first word
    // of area F and 0 in its capacity word into the window.
    void readDrive()
    {
        makeNew();
        m_firstOfF = doc().table.areaFirst[6];
        InverterIdentity drive = doc().identity;
        drive.capacity = static_cast<std::int16_t>(GetParam().capacity);
        closeDocument(ws(), ui());
        identify(qm71Text(drive.romVersion), drive);
        inverter.putWord(wordAddress(m_firstOfF), 340);
        ASSERT_EQ(dialog(TransferKind::Read).runTransaction(), 0);
        ASSERT_TRUE(doc().state.open);
        ASSERT_EQ(doc().values[static_cast<std::size_t>(m_firstOfF)], GetParam().doubled ? 680 : 340);
    }

    const ConversionRow* rowOf(int slot) const
    {
        const auto& rows = demo.ws.doc.conversionReport->rows;
        const auto found
            = std::find_if(rows.begin(), rows.end(), [&](const ConversionRow& r) { return r.slot == slot; });
        return found == rows.end() ? nullptr : &*found;
    }

    int capacityWordSlot() const
    {
        for (const std::optional<ParameterDef>& def : *demo.ws.doc.table.defs)
            if (def && def->capacityWord)
                return def->slot;
        ADD_FAILURE() << "no capacity word in the table";
        return -1;
    }

    int m_firstOfF = 0;
};

TEST_P(ReadReport, ReadNamesTheConvertedWordsAndTheCapacityWord)
{
    readDrive();
    ASSERT_TRUE(doc().conversionReport);
    const tables::ConversionReport& report = *doc().conversionReport;
    EXPECT_EQ(static_cast<int>(report.rows.size()) + report.unchanged, SlotCount);
    EXPECT_TRUE(ws().view.commands.conversionReportItem);

    const ConversionRow* doubled = rowOf(m_firstOfF);
    EXPECT_EQ(doubled && doubled->has(ConversionKind::ValueConverted), GetParam().doubled);
    EXPECT_EQ(report.count(ConversionKind::ValueConverted), GetParam().doubled ? 1 : 0);

    const ConversionRow* capacity = rowOf(capacityWordSlot());
    ASSERT_TRUE(capacity);
    EXPECT_TRUE(capacity->has(ConversionKind::SetFromCapacity));
    EXPECT_EQ(capacity->valueBefore, "0");
    EXPECT_EQ(capacity->valueAfter, std::to_string(GetParam().capacity));
}

TEST_P(ReadReport, CompareWithTheDriveReportsItsOwnConversion)
{
    readDrive();
    SerialTransferPresenter& compare = dialog(TransferKind::CompareWithDrive);
    ASSERT_EQ(compare.runTransaction(), 0);
    ASSERT_TRUE(doc().state.compareMode);
    ASSERT_TRUE(doc().conversionReport);
    const ConversionRow* doubled = rowOf(m_firstOfF);
    EXPECT_EQ(doubled && doubled->has(ConversionKind::ValueConverted), GetParam().doubled);
    // The drive's words are compared as it holds them: its capacity word
    // was not set from anything.
    EXPECT_EQ(doc().conversionReport->count(ConversionKind::SetFromCapacity), 0);
}

TEST_P(ReadReport, OpeningAFileDropsTheReadsReport)
{
    readDrive();
    const std::string path = file("ReadData.csl");
    closeDocument(ws(), ui());
    ui().answers.clear();
    loadDataSetIntoWindow(ws(), ui(), path, LoadPurpose::Open, PartialDataSet::Shown);
    ASSERT_TRUE(doc().state.open);
    EXPECT_FALSE(doc().conversionReport);
    EXPECT_FALSE(ws().view.commands.conversionReportItem);
}

const DriveCase DriveCases[] = {
    {"Class400V", 16, true},
    {"Class200V", 15, false},
};
INSTANTIATE_TEST_SUITE_P(Drives, ReadReport, ::testing::ValuesIn(DriveCases), test::CaseName {});

} // namespace
} // namespace tess::comm
