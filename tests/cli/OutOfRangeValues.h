#pragma once

#include "cli/CliRun.h"

#include "domain/datafile/DataSetFormat.h"
#include "support/Fakes.h"

#include <functional>
#include <string>
#include <vector>

namespace tess::cli {

// Gives `code` of the data set at path a value its row does not allow, as
// a damaged digit or a hand edit would: the word is found by setting it
// through the command line to an allowed value (one that differs from the
// default) and seeing which word changed.
inline void writeValueByHand(const std::function<int(std::vector<std::string>)>& run, const std::string& path,
    const std::string& code, const std::string& allowed, std::int32_t stored)
{
    const datafile::ParsedDataSet before = datafile::parseDataSet(test::readFile(path));
    ASSERT_EQ(run({"set", path, code + "=" + allowed}), ExitDone);
    datafile::ParsedDataSet after = datafile::parseDataSet(test::readFile(path));
    int slot = -1;
    for (int i = 0; i < SlotCount; ++i)
        if (before.values[static_cast<std::size_t>(i)] != after.values[static_cast<std::size_t>(i)])
            slot = i;
    ASSERT_GE(slot, 0) << code << " already held " << allowed;
    after.values[static_cast<std::size_t>(slot)] = stored;
    test::writeFile(path, datafile::formatDataSet(after.identity, after.values));
}

} // namespace tess::cli
