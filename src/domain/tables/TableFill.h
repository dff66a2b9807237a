#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"
#include "domain/tables/ParameterTable.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tess::tables {

// What filling the grid rows from one table file needs to know.
struct TableFillRequest {
    std::string applicationFolder; // where the capacity default files lie ("MSEL")
    std::string tablePath;
    bool substitute = false; // an older ROM version's table stands in
    InverterIdentity identity;
    char controlModeLetter = 0; // of the identity's family: 'O' is V/F mode
    ModelFamily family = ModelFamily::QM;
    // false: a new data set, whose values become the table's defaults; true:
    // the values stay as they are.
    bool keepValues = false;

    friend bool operator==(const TableFillRequest&, const TableFillRequest&) = default;
};

enum class FillOutcome {
    Done, // every area was walked
    Unreadable, // the table or a capacity default file cannot be read
    Incomplete, // a damaged or missing line ended the filling early
};

// The table and values a fill made, and what to tell the user, in the order
// it arose.
struct TableFill {
    FillOutcome outcome = FillOutcome::Done;
    bool tableRead = false; // the table file could be read: table holds it
    ParameterTable table;
    ParameterSet values {};
    std::vector<Message> notices;
    // The capacity default file the fill looked for, whether it was there or
    // not; empty when it needed none.
    std::string capacityPath;
};

// Reads the table file into typed records of the slots it defines, applying
// the capacity, motor-group, V/F and 400 V rules to their defaults and decimal
// places; without keepValues every default is also written into values (the
// capacity word gets the capacity index). The notices are the messages of the described loader: an
// unreadable file, a sign flag that is no number, a capacity default file
// that is missing or unusable, and where the filling ended early.
TableFill fillFromTable(const TableFillRequest& request, const ParameterSet& values);

// Fills kept for the program's run: a language switch, an Inverter change
// and a batch over the data sets of a few models fill from the same table
// files again and again. A kept fill is given again, notices and all, for
// the same request while the table file and the capacity default file it
// looked for have the stamps they had; with keepValues the values are the
// ones given, as a fill keeps them. The result is the one fillFromTable
// would give. A fill is kept only when both files stood settled (unchanged
// for `settled` before the fill began), for the reason settledMoment gives.
class TableFillCache {
public:
    explicit TableFillCache(std::chrono::nanoseconds settled = std::chrono::seconds(2), std::size_t capacity = 8)
        : m_settled(settled)
        , m_capacity(capacity)
    {
    }

    TableFill fill(const TableFillRequest& request, const ParameterSet& values);
    void clear();

private:
    struct Entry;
    std::shared_ptr<const Entry> find(const TableFillRequest& request);
    void keep(const TableFillRequest& request, const TableFill& made, std::int64_t settled);

    std::chrono::nanoseconds m_settled;
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::vector<std::shared_ptr<const Entry>> m_entries; // oldest first
};

// The loader's fills of the program's run.
TableFillCache& tableFillCache();

} // namespace tess::tables
