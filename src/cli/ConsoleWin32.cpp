#include "cli/Console.h"

#include "domain/common/WideText.h"

#include <cstdio>
#include <io.h>

#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

namespace tess::cli {
namespace {

bool isConsole(DWORD which)
{
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

} // namespace

ConsoleFacts prepareConsole()
{
    // The texts are written as UTF-8 bytes, untranslated: line ends stay
    // "\n" as on Linux, and the console is told the code page.
    _setmode(_fileno(stdout), 0x8000 /* _O_BINARY */);
    _setmode(_fileno(stderr), 0x8000 /* _O_BINARY */);
    ::SetConsoleOutputCP(CP_UTF8);
    ConsoleFacts facts;
    facts.outIsTerminal = isConsole(STD_OUTPUT_HANDLE);
    facts.errIsTerminal = isConsole(STD_ERROR_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info {};
    if (facts.errIsTerminal && ::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info))
        facts.errColumns = info.srWindow.Right - info.srWindow.Left + 1;
    return facts;
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(utf8Text(wide[i]));
    ::LocalFree(wide);
    return args;
}

} // namespace tess::cli
