#include "cli/Console.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace tess::cli {

ConsoleFacts prepareConsole()
{
    ConsoleFacts facts;
    facts.outIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    facts.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    winsize size {};
    if (facts.errIsTerminal && ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        facts.errColumns = size.ws_col;
    return facts;
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

} // namespace tess::cli
