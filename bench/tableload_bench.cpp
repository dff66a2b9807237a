// Loading a full parameter table (665 records in 16 areas, motor groups
// reading the capacity default file) as New, Open and a language switch do,
// beside reading the same files' bytes from the page cache and splitting
// their lines, to see how much of a load is the disk and how much the rules.
// The load reports its time as a multiple of the read ("x_page_cache_read").
#include "BenchSupport.h"
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/tables/TableLoader.h"
#include "domain/common/Cp932.h"
#include "domain/common/FileIo.h"
#include "domain/tables/TableFiles.h"
#include "domain/tables/TableFill.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tess;

using bench::QuietUi;

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// A synthetic installation with one QM71 sensorless table of 665 records and
// its capacity default file, removed at exit.
class Installation {
public:
    Installation()
        : folder(m_scratch.path())
    {

        std::vector<std::string> lines {"71Series parameter table", "Code,Name,Name,Range,Default,-,Dp,Fig,Sign"};
        int slot = 0;
        for (int area = 0; area < AreaCount; ++area) {
            const int count = area == AreaCount - 1 ? SlotCount - slot : 41;
            for (int n = 0; n < count; ++n) {
                const int decimals = (slot % 3);
                lines.push_back(std::string(dataAreaNames[static_cast<std::size_t>(area)]) + "-" + std::to_string(n)
                    + ",\"加速時間" + std::to_string(n) + "\",\"Acceleration time " + std::to_string(n)
                    + "\",0.0/3600.0," + (decimals ? "12.5" : "125") + ",-," + std::to_string(decimals) + ",5,"
                    + std::to_string(slot % 2));
                ++slot;
            }
        }
        slot = 0;
        for (int area = 0; area < AreaCount; ++area) {
            const int count = area == AreaCount - 1 ? SlotCount - slot : 41;
            std::string& line = lines[static_cast<std::size_t>(2 + area)];
            line.append(",").append(std::to_string(slot)).append(",").append(std::to_string(slot + count - 1));
            if (area == 0)
                line.append(",3");
            slot += count;
        }
        std::string table;
        for (const std::string& line : lines)
            table += utf8ToCp932(line) + "\r\n";
        tablePath = folder + "QM71/" + tables::tableFileName(0, 0, 7);
        writeBytes(tablePath, table);

        std::string capacity = "Cap,Name,C,B,D,A,Bdef,-,Adef,Ddef,A11,A10\r\n";
        for (int c = 0; c < 39; ++c)
            capacity += std::to_string(c) + ",cap,1,2,2,1,4567,-,123,2000,300,55\r\n";
        capacityPath = folder + "MSEL/MSEL_DEF.bkh";
        writeBytes(capacityPath, capacity);
        bench::waitUntilSettled();
    }

private:
    bench::ScratchFolder m_scratch;

public:
    std::string folder;
    std::string tablePath;
    std::string capacityPath;
};

const Installation& installation()
{
    static const Installation inst;
    return inst;
}

// Only the bytes of both files, as a load reads them.
void readTableBytes(const Installation& inst, std::string& table, std::string& capacity)
{
    readFileBytes(inst.tablePath, table);
    readFileBytes(inst.capacityPath, capacity);
    benchmark::DoNotOptimize(table.data());
    benchmark::DoNotOptimize(capacity.data());
}

// The whole load, table lookup included, as a multiple of reading the files;
// argument: 0 New, 1 Open and the reloads, 2 Open of data sets each of whose
// values differs from the one before. Loads of a table loaded before in the
// run (a language switch, an Inverter change back, a batch over data sets of
// the same models) take the kept fill; with firstTime each load is made as
// the first of its table.
void loadTable(benchmark::State& state, bool firstTime)
{
    const Installation& inst = installation();
    Workspace ws;
    ws.settings.applicationFolder = inst.folder;
    ws.settings.language = Language::Japanese;
    ws.doc.identity = InverterIdentity {0, 0, 3, 7};
    QuietUi ui;
    const tables::TableValues values
        = state.range(0) == 0 ? tables::TableValues::Defaults : tables::TableValues::Stored;
    const bool valuesChange = state.range(0) == 2;
    tables::tableFillCache().clear();
    const bench::LoopTimer timer;
    for (auto _ : state) {
        if (valuesChange) {
            for (std::int32_t& value : ws.doc.values)
                value = (value + 1) % 100;
        }
        if (firstTime)
            tables::tableFillCache().clear();
        benchmark::DoNotOptimize(tables::loadParameterTable(ws, ui, values, tables::TableSource::DataSetIdentity));
    }
    const double load = timer.secondsPerIteration(state);
    if (ui.messages != 0 || !ws.doc.table.def(SlotCount - 1) || ws.doc.table.def(SlotCount - 1)->code != "S-49") {
        state.SkipWithError("the synthetic table did not load completely");
        return;
    }
    std::string table;
    std::string capacity;
    const double read = bench::secondsPerRun([&] { readTableBytes(inst, table, capacity); });
    state.counters["x_page_cache_read"] = load / read;
}

void BM_LoadTableWithCapacityFile(benchmark::State& state)
{
    loadTable(state, false);
}
BENCHMARK(BM_LoadTableWithCapacityFile)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_LoadTableFirstTime(benchmark::State& state)
{
    loadTable(state, true);
}
BENCHMARK(BM_LoadTableFirstTime)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor of the load: both files' bytes read from the page cache.
void BM_ReadTableBytesFromPageCache(benchmark::State& state)
{
    const Installation& inst = installation();
    std::string table;
    std::string capacity;
    for (auto _ : state)
        readTableBytes(inst, table, capacity);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (table.size() + capacity.size())));
}
BENCHMARK(BM_ReadTableBytesFromPageCache)->Unit(benchmark::kMicrosecond);

// The bytes in memory split into lines and records (UTF-8 fields), as the
// load splits them.
void BM_SplitTableRecords(benchmark::State& state)
{
    const Installation& inst = installation();
    std::string bytes;
    readFileBytes(inst.tablePath, bytes);
    tables::TableText text;
    tables::RecordFields fields;
    for (auto _ : state) {
        text.assign(bytes);
        std::size_t count = 0;
        for (std::size_t i = 0; i < text.lineCount(); ++i) {
            fields.split(*text.decodedLine(i));
            count += fields.size();
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_SplitTableRecords)->Unit(benchmark::kMicrosecond);

} // namespace
