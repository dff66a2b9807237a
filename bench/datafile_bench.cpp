// Reading and writing one console data file with its .csv copy, as Open,
// Save and a data read do, beside the floor of that work: the same bytes
// copied through the same temporary-file-and-rename writer. The read and
// write reports its time as a multiple of the copy ("x_copy"); argument 0
// writes without flushing to disk, 1 flushes as a Save does (the disk's
// flushes then take most of the time of both).
#include "BenchSupport.h"
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/common/FileIo.h"
#include "domain/datafile/CompanionCsv.h"
#include "domain/datafile/DataSetFormat.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace tess;

using bench::QuietUi;
using bench::ScratchFolder;

// A full document with grid texts of the length a real table gives, Japanese
// names included so that the .csv goes through the CP932 conversion.
void fillDocument(Workspace& ws)
{
    ws.settings.language = Language::Japanese;
    ws.doc.identity = InverterIdentity {0, 1, 5, 23};
    // The records' texts are views: they live in the table's own store.
    auto texts = std::make_shared<std::deque<std::string>>();
    auto defs = std::make_shared<ParameterDefs>();
    for (int i = 0; i < SlotCount; ++i) {
        ws.doc.values[i] = (i % 5 == 0) ? -i * 13 : i * 101;
        ParameterDef& def = (*defs)[static_cast<std::size_t>(i)].emplace();
        def.code = texts->emplace_back("A-" + std::to_string(i % 100));
        def.nameJapanese = texts->emplace_back("加速時間" + std::to_string(i));
        def.nameEnglish = texts->emplace_back("Acceleration time " + std::to_string(i));
        def.rangeText = "0.0/3600.0";
        def.decimals = 1;
        def.decimalsText = "1";
        def.significantFigures = 5;
        def.defaultUnits = 100;
        def.slot = i;
    }
    ws.doc.table.defs = std::move(defs);
    ws.doc.table.texts = std::move(texts);
    ws.doc.content = GridContent::Table;
}

void BM_ParseDataSet(benchmark::State& state)
{
    Workspace ws;
    fillDocument(ws);
    const std::string bytes = datafile::formatDataSet(ws.doc.identity, ws.doc.values);
    for (auto _ : state)
        benchmark::DoNotOptimize(datafile::parseDataSet(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseDataSet);

void BM_FormatDataSetAndCsv(benchmark::State& state)
{
    Workspace ws;
    fillDocument(ws);
    for (auto _ : state) {
        benchmark::DoNotOptimize(datafile::formatDataSet(ws.doc.identity, ws.doc.values));
        benchmark::DoNotOptimize(datafile::formatCompanionCsv(ws.doc.identity, gridSource(ws)));
    }
}
BENCHMARK(BM_FormatDataSetAndCsv);

// A full document saved as pump.csl (with its .csv) in a scratch folder.
struct SavedDataSet {
    explicit SavedDataSet(FileWriter& writer = systemFileWriter())
    {
        fillDocument(ws);
        ws.writer = &writer;
        saved = datafile::writeDataSet(ws, ui, path, datafile::SaveMode::Save) == datafile::SaveResult::Saved;
    }

    ScratchFolder folder;
    Workspace ws;
    QuietUi ui;
    std::string path = folder.file("pump.csl");
    bool saved = false;
};

void BM_ReadDataSetFile(benchmark::State& state)
{
    SavedDataSet set;
    if (!set.saved) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(datafile::readDataSet(set.ws, set.ui, set.path));
}
BENCHMARK(BM_ReadDataSetFile);

// The whole Save: .csl and .csv, each through a temporary file flushed to
// disk and renamed.
void BM_WriteDataSetWithCsv(benchmark::State& state)
{
    ScratchFolder folder;
    Workspace ws;
    QuietUi ui;
    fillDocument(ws);
    const std::string path = folder.file("pump.csl");
    for (auto _ : state)
        if (datafile::writeDataSet(ws, ui, path, datafile::SaveMode::Save) != datafile::SaveResult::Saved)
            state.SkipWithError("cannot write the data file");
}
BENCHMARK(BM_WriteDataSetWithCsv)->Unit(benchmark::kMillisecond);

FileWriter& writerOf(const benchmark::State& state)
{
    return state.range(0) != 0 ? systemFileWriter() : unflushedFileWriter();
}

// The floor: the .csl's bytes read, and the bytes of the .csl and the .csv
// written through the writer, as a read and a Save move them.
class DataSetCopy {
public:
    DataSetCopy(const std::string& path, FileWriter& writer)
        : m_path(path)
        , m_csvPath(datafile::companionCsvPath(path))
        , m_writer(writer)
    {
        readFileBytes(m_path, m_csl);
        readFileBytes(m_csvPath, m_csv);
    }
    bool run()
    {
        if (!readFileBytes(m_path, m_read))
            return false;
        const FileReplacement files[] {{m_path, m_csl}, {m_csvPath, m_csv}};
        return m_writer.replaceFiles(files, nullptr) == 2;
    }

private:
    std::string m_path;
    std::string m_csvPath;
    FileWriter& m_writer;
    std::string m_csl;
    std::string m_csv;
    std::string m_read;
};

// Open's read of the .csl into the document, then Save's write of the .csl
// and its .csv.
void BM_ReadAndWriteDataSetWithCsv(benchmark::State& state)
{
    SavedDataSet set(writerOf(state));
    if (!set.saved) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    const bench::LoopTimer timer;
    for (auto _ : state) {
        if (!datafile::readDataSet(set.ws, set.ui, set.path)
            || datafile::writeDataSet(set.ws, set.ui, set.path, datafile::SaveMode::Save)
                != datafile::SaveResult::Saved)
            state.SkipWithError("cannot read or write the data file");
    }
    const double work = timer.secondsPerIteration(state);
    DataSetCopy copy(set.path, *set.ws.writer);
    state.counters["x_copy"] = work / bench::secondsPerRun([&] { copy.run(); });
}
BENCHMARK(BM_ReadAndWriteDataSetWithCsv)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_CopyDataSetBytesThroughWriter(benchmark::State& state)
{
    SavedDataSet set(writerOf(state));
    if (!set.saved) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    DataSetCopy copy(set.path, *set.ws.writer);
    for (auto _ : state)
        if (!copy.run())
            state.SkipWithError("cannot copy the data file");
}
BENCHMARK(BM_CopyDataSetBytesThroughWriter)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
