#include "ReportOutput.h"
#include "cli/Runner.h"

#include "domain/journal/JournalFolder.h"
#include "domain/settings/UserStore.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    tess::cli::CliEnvironment env;
    env.startup = tess::currentStartupEnvironment();
    env.access = tess::currentInstallationAccess();
    // The language the user last chose in the window; its record is only read.
    tess::FileUserStore store(tess::defaultUserStorePath());
    env.storedEigo = store.readInteger(tess::UserValueEigo);
    env.journalFolder = tess::journal::journalFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    env.runtimeFolder = tess::journal::runtimeFolder(std::getenv("XDG_RUNTIME_DIR"));
    tess::ReportPdfWriter pdf;
    env.reportCanvas = pdf.canvasMaker();
    env.outIsTerminal = ::isatty(STDOUT_FILENO) == 1;
    env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    winsize size {};
    if (env.errIsTerminal && ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        env.errColumns = size.ws_col;
    return tess::cli::runCommandLine(args, env, std::cout, std::cerr);
}
