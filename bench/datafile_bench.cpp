// Reading and writing one console data file with its .csv copy, as Open,
// Save and a data read do.
#include "app/common/Workspace.h"
#include "app/common/Ui.h"
#include "domain/datafile/CompanionCsv.h"
#include "app/datafile/DataSetFile.h"
#include "domain/datafile/DataSetFormat.h"
#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
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
    for (int i = 0; i < SlotCount; ++i) {
        ws.doc.values[i] = (i % 5 == 0) ? -i * 13 : i * 101;
        const int row = i + 1;
        ws.doc.rows.setText(row, ColCode, "A-" + std::to_string(i % 100));
        ws.doc.rows.setText(row, ColName, "加速時間" + std::to_string(i));
        ws.doc.rows.setText(row, ColRange, "0.0/3600.0");
        ws.doc.rows.setText(row, ColDefault, "10.0");
        ws.doc.rows.setText(row, ColValue, std::to_string(ws.doc.values[i]));
        ws.doc.rows.setText(row, ColDecimals, "1");
        ws.doc.rows.setText(row, ColFigures, "5");
    }
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
        benchmark::DoNotOptimize(datafile::formatCompanionCsv(ws.doc.identity, ws.doc.rows, ws.settings.language));
    }
}
BENCHMARK(BM_FormatDataSetAndCsv);

void BM_ReadDataSetFile(benchmark::State& state)
{
    ScratchFolder folder;
    Workspace ws;
    QuietUi ui;
    fillDocument(ws);
    const std::string path = folder.file("pump.csl");
    if (datafile::writeDataSet(ws, ui, path, datafile::SaveMode::Save) != 0) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(datafile::readDataSet(ws, ui, path));
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
        if (datafile::writeDataSet(ws, ui, path, datafile::SaveMode::Save) != 0)
            state.SkipWithError("cannot write the data file");
}
BENCHMARK(BM_WriteDataSetWithCsv)->Unit(benchmark::kMillisecond);

} // namespace
