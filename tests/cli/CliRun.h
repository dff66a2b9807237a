#pragma once

#include "cli/Runner.h"

#include "mkdemo/DemoInstallation.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tess::cli {

// A demo installation with the program lying in it, the language English.
class CliRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(demo::writeDemoInstallation(dir.path(), {}, &error)) << error;
        env.startup.executablePath = dir.file("tessaline-cli");
        env.storedEigo = 1;
    }

    int run(std::vector<std::string> args, bool terminal = false)
    {
        out.str({});
        err.str({});
        env.outIsTerminal = terminal;
        return runCommandLine(args, env, out, err);
    }

    test::TempDir dir;
    CliEnvironment env;
    std::ostringstream out;
    std::ostringstream err;
};

inline std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace tess::cli
