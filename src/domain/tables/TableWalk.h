#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Message.h"
#include "domain/tables/TableFiles.h"
#include "domain/text/Texts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The walk over a parameter table's areas and records, and the motor-group
// rules that take a record's decimal places from the capacity default file.
// The table loader and the file comparison lay out the same records, so both
// read a table through these and cannot come to differ.
namespace tess::tables {

// Record fields.
constexpr std::size_t FieldDecimals = 6;
constexpr std::size_t FieldFigures = 7;
constexpr std::size_t FieldSign = 8;
constexpr std::size_t FieldAreaFirst = 9;
constexpr std::size_t FieldAreaLast = 10;
constexpr std::size_t FieldCapacityFile = 11;

// The records that lead the V/F motor groups by their place in the file, not
// by their code (each group has a second member named by code: L-1, L-9).
constexpr int GroupALeadLine = 15;
constexpr int GroupBLeadLine = 30;

std::optional<std::int32_t> integerAt(const RecordFields& fields, std::size_t index);
// A number of decimal places: an integer from 0 to MaxDecimals.
std::optional<int> decimalsOf(std::optional<std::string_view> text);

// How far the processing of one record came.
enum class RecordStep {
    Ok,
    Failed, // the record or area line is unusable: the walk ends at this slot
    Stopped, // the capacity default file is unusable: its message is shown, the walk ends
};

struct WalkResult {
    RecordStep step = RecordStep::Ok; // Ok: every area was walked
    int area = 0; // where a walk that did not finish ended
    int slot = 0; // the last slot reached (0 before the first)
    int line = 0; // the line (from 0) of the area or record where it ended
    bool lineMissing = false; // the file ended before that line
};

// A line of a file that could not be used, for the message that says where.
struct LineFault {
    std::string path;
    int line = 0; // from 0, as the walk counts
    bool missing = false; // the file ends before the line
};

// "path, line n" or "path ends before line n", n counting from 1.
Message lineFaultCause(const LineFault& fault);

// (line, slot, the record's fields, decoded) for each record in walking
// order. The fields are views into the TableText walked, except those whose
// doubled quotes were made single: those live only for the call.
using RecordVisitor = std::function<RecordStep(int line, int slot, const RecordFields& record)>;

// Lines 2 to 17 give the first and last slot of areas 0 to 15 (fields 9 and
// 10, unsigned 16-bit); the records follow one a line from line 2, slot by
// slot through the areas (an area whose first slot lies past its last has
// none). The limits are stored as they are read; areas the walk never
// reaches hold nothing (first 1, last 0). A missing or unusable area line, a
// slot past the ParameterSet, a file that ends too early and a record the
// visitor refuses all end the walk as Failed.
WalkResult walkTableRecords(const TableText& text, std::array<std::uint16_t, AreaCount>& areaFirst,
    std::array<std::uint16_t, AreaCount>& areaLast, const RecordVisitor& visit);

// "Area:" + area index + "No.:" + slot: where a walk failed; the second line
// names the file and the line that stopped it.
Message areaFailureMessage(int area, int slot, const LineFault& fault);

// What the line ends of a table file tell about it; the second line names
// the file and the line.
Message lineEndFaultMessage(const std::string& path, const LineEndFault& fault);

// Motor groups: parameters whose decimal places (and in V/F mode defaults)
// depend on the capacity.
enum class MotorGroup { None, A, B, C, D };
MotorGroup motorGroupOf(std::string_view code, ModelFamily family);

// What the motor-group rules make of one record.
struct MotorGroupDecimals {
    int decimals = 0; // the record's own, or the group's from the capacity line
    MotorGroup group = MotorGroup::None; // by code
    bool inA = false; // by code, or in V/F mode by its line
    bool inB = false;
    // The decimal places text the grid shows in place of the record's own
    // (a view into the capacity default file kept by the rules).
    std::optional<std::string_view> decimalsText;
    // V/F mode: the record's own default from the capacity line (A-10 to
    // A-16, group D), in stored units.
    std::optional<std::int32_t> vfDefault;
};

// One walk's motor-group rules. The capacity line (line c + 1 of the capacity
// default file the table names on line 2) is read once, when a record first
// needs it, from the file as capacityFileCache() keeps it. In V/F mode the records on lines 15 and 30 (or "L-1", "L-9")
// set the decimal places and defaults of groups A and B for the later records.
class MotorGroupRules {
public:
    struct Setup {
        std::string applicationFolder;
        std::string tablePath; // named when the table names no capacity default file
        int capacity = 0; // the capacity index whose line is read
        ModelFamily family = ModelFamily::QM;
        bool vf = false; // control-mode letter 'O'
        // The loader's V/F defaults; the comparison takes decimal places only.
        bool withVfDefaults = true;
        // Shown when the capacity default file exists but cannot be read.
        TextId unreadable = TextId::TableCloseBkhFiles;
    };

    // Messages for the user (a capacity default file that is missing,
    // unnamed or unreadable) are added to notices, in the order they arise.
    MotorGroupRules(std::vector<Message>& notices, Setup setup);

    // Applies the rules to record (its fields, ownDecimals read from field
    // 6) on line. On line 2 the capacity default file name is taken from
    // field 11 first.
    RecordStep apply(int line, const RecordFields& record, int ownDecimals, MotorGroupDecimals& out);

    // The capacity default file the table names (empty before line 2).
    const std::string& capacityFileName() const { return m_capacityFileName; }
    // The capacity default file the rules looked for, whether it was there
    // or not; empty while no record needed it (or the table names none).
    const std::string& capacityPathLookedAt() const { return m_capacityPathLookedAt; }
    // The capacity line that made apply fail, when it was the capacity
    // default file and not the table that was at fault.
    const std::optional<LineFault>& capacityFault() const { return m_capacityFault; }
    // V/F mode: the groups' defaults set so far in this walk, in stored units.
    const std::optional<std::int32_t>& groupADefault() const { return m_groupADefault; }
    const std::optional<std::int32_t>& groupBDefault() const { return m_groupBDefault; }

private:
    // What the steps of apply share about the record in hand.
    struct RecordInHand {
        explicit RecordInHand(MotorGroupDecimals& result)
            : out(result)
        {
        }

        MotorGroupDecimals& out;
        const RecordFields* cap = nullptr; // the capacity line, once read
        std::optional<std::string_view> groupDecimalsText; // the record's own, from the capacity line
        bool joinsA = false;
        bool joinsB = false;
    };

    RecordStep capacityFields(const RecordFields*& fields);
    // Line 2 names the capacity default file.
    bool takeCapacityFileName(const RecordFields& record);
    RecordStep readCapacity(RecordInHand& r);
    bool capacityLineFault();
    // The decimal places and their text from a capacity field.
    bool takeDecimals(RecordInHand& r, std::size_t field, std::optional<std::string_view>& textOut);
    // A V/F default from a capacity field, when the defaults are wanted.
    bool takeInteger(const RecordInHand& r, std::size_t field, std::optional<std::int32_t>& value);
    // Outside V/F mode: groups A, B and C take their decimal places from
    // the capacity line.
    RecordStep applyGroupDecimals(RecordInHand& r);
    // V/F mode: the records that join groups A and B, and the V/F defaults.
    RecordStep applyVfGroups(int line, std::string_view code, RecordInHand& r);
    RecordStep applyGroupD(RecordInHand& r);
    // The decimal places text the grid shows in place of the record's own.
    void chooseDecimalsText(RecordInHand& r);

    std::vector<Message>& m_notices;
    Setup m_setup;
    std::string m_capacityFileName;

    enum class CapacityState { NotRead, Read, Unusable, NoLine };
    CapacityState m_capacityState = CapacityState::NotRead;
    std::shared_ptr<const TableText> m_capacityText; // what m_capacity and the decimals texts view
    RecordFields m_capacity;
    std::string m_capacityPath;
    std::string m_capacityPathLookedAt;
    std::optional<LineFault> m_capacityFault;

    std::optional<std::string_view> m_groupADecimalsText;
    std::optional<std::int32_t> m_groupADefault;
    std::optional<std::string_view> m_groupBDecimalsText;
    std::optional<std::int32_t> m_groupBDefault;
};

} // namespace tess::tables
