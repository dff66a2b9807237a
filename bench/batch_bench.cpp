// One `tessaline-cli export` over 1,000 data sets of mixed models, run by the
// command line's own runner in this process, as a script preparing a plant's
// data sets runs it. Reports files per second ("items_per_second");
// argument 1 writes each .csv through the system's writer as the program
// does (flushed to disk), 0 without the flush, to show what the work itself
// costs.
#include "BenchSupport.h"
#include "cli/Runner.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "mkdemo/DemoInstallation.h"

#include <benchmark/benchmark.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tess;

constexpr int FileCount = 1000;

// A demo installation with 1,000 data sets: copies of the data sets `new`
// makes for two tables of each model the demo covers, taken in turn.
class Batch {
public:
    Batch()
    {
        std::string error;
        if (!demo::writeDemoInstallation(m_scratch.path(), {}, &error))
            throw std::runtime_error(error);
        env.startup.executablePath = m_scratch.file("tessaline-cli");
        env.storedEigo = 1;

        std::vector<std::string> made;
        std::map<catalogue::Model, int> madeOfModel;
        for (const demo::CoveredTable& table : demo::coveredTables()) {
            if (madeOfModel[table.model] == 2)
                continue;
            const std::string name = m_scratch.file("made" + std::to_string(made.size()) + ".csl");
            const std::optional<std::string_view> rom = catalogue::romVersionText(table.model, table.romVersion);
            // The first capacity index the selection offers for the table.
            for (const char* capacity : {"0", "1", "2", "3"}) {
                std::ostringstream out;
                std::ostringstream err;
                const std::vector<std::string> args {"new", "--model", std::string(catalogue::modelName(table.model)),
                    "--mode", std::to_string(table.controlMode), "--capacity", capacity, "--rom",
                    std::string(rom.value_or("")), "-o", name};
                if (cli::runCommandLine(args, env, out, err) == 0) {
                    made.push_back(name);
                    ++madeOfModel[table.model];
                    break;
                }
            }
        }
        if (made.empty())
            throw std::runtime_error("no data set could be made");
        exportArgs.push_back("export");
        std::string bytes;
        for (int i = 0; i < FileCount; ++i) {
            readFileBytes(made[static_cast<std::size_t>(i) % made.size()], bytes);
            const std::string path = m_scratch.file("set" + std::to_string(i) + ".csl");
            unflushedFileWriter().replaceFile(path, bytes, nullptr);
            exportArgs.push_back(path);
        }
        for (const auto& [model, count] : madeOfModel)
            models += count > 0 ? 1 : 0;
        bench::waitUntilSettled();
    }

private:
    bench::ScratchFolder m_scratch;

public:
    cli::CliEnvironment env;
    std::vector<std::string> exportArgs;
    std::size_t models = 0;
};

const Batch& batch()
{
    static const Batch instance;
    return instance;
}

void BM_ExportThousandDataSets(benchmark::State& state)
{
    const Batch& b = batch();
    cli::CliEnvironment env = b.env;
    env.writer = state.range(0) != 0 ? &systemFileWriter() : &unflushedFileWriter();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (cli::runCommandLine(b.exportArgs, env, out, err) != 0)
            state.SkipWithError(err.str().c_str());
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
    state.counters["models"] = static_cast<double>(b.models);
}
BENCHMARK(BM_ExportThousandDataSets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
