// Reading FileVersion.INI as start-up does, from files that hold far more
// than the settings: runs of blank lines and a long section of other keys
// in front of the sections the program reads.
#include "BenchSupport.h"
#include "domain/common/FileIo.h"
#include "domain/settings/FileVersionSettings.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace tess;

using bench::ScratchFolder;

// The settings the program reads, placed after the filler so that every
// lookup has to get past it.
std::string settingsSections()
{
    std::string ini = "[Version]\r\nFileVersion=1.20\r\n[View]\r\nValue=0\r\n[spcialfunc]\r\nused=0\r\n";
    for (const LimitKeys& keys : limitKeys)
        ini += "[" + std::string(keys.section) + "]\r\n" + keys.verMaxKey + "=40\r\n" + keys.newVerKey + "=3\r\n";
    return ini;
}

std::string blankLines(std::size_t bytes)
{
    std::string text;
    text.reserve(bytes);
    while (text.size() + 2 <= bytes)
        text += "\r\n";
    return text;
}

// A section of distinct keys nobody reads, as a file grown by another tool.
std::string otherKeys(std::size_t bytes)
{
    std::string text = "[Other]\r\n";
    text.reserve(bytes);
    for (int i = 0; text.size() < bytes; ++i)
        text += "key" + std::to_string(i) + "=" + std::to_string(i * 7) + "\r\n";
    return text;
}

void readSettings(benchmark::State& state, const std::string& filler)
{
    ScratchFolder folder;
    const std::string path = folder.file(FileVersionIniName);
    const std::string bytes = filler + settingsSections();
    if (!systemFileWriter().replaceFile(path, bytes, nullptr)) {
        state.SkipWithError("cannot write the settings file");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readFileVersionSettings(path));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

void BM_ReadSettingsAfterBlankLines(benchmark::State& state)
{
    readSettings(state, blankLines(static_cast<std::size_t>(state.range(0)) * 2));
}
// 100 000 blank lines, then 1 MB and 10 MB of them (counted in lines of two bytes).
BENCHMARK(BM_ReadSettingsAfterBlankLines)->Arg(100'000)->Arg(500'000)->Arg(5'000'000)->Unit(benchmark::kMillisecond);

void BM_ReadSettingsAfterOtherKeys(benchmark::State& state)
{
    readSettings(state, otherKeys(static_cast<std::size_t>(state.range(0))));
}
// 1 MB and 10 MB of keys in a section of their own.
BENCHMARK(BM_ReadSettingsAfterOtherKeys)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

} // namespace
