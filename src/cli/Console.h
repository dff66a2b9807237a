#pragma once

#include <string>
#include <vector>

namespace tess::cli {

// What the program learns about its console before it writes to it.
struct ConsoleFacts {
    bool outIsTerminal = false;
    bool errIsTerminal = false;
    int errColumns = 0; // 0 when unknown
};

// Looks at the standard output and error; on Windows also makes the console
// show the program's UTF-8 texts.
ConsoleFacts prepareConsole();

// The arguments after the program's name, in UTF-8 (Windows hands them to
// main in the system's code page, which cannot hold every file name).
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace tess::cli
