#include "ReportOutput.h"
#include "cli/Console.h"
#include "cli/Runner.h"

#include "domain/journal/JournalFolder.h"
#include "domain/settings/UserStore.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args = tess::cli::programArguments(argc, argv);
    const tess::cli::ConsoleFacts console = tess::cli::prepareConsole();
    tess::cli::CliEnvironment env;
    env.startup = tess::currentStartupEnvironment();
    env.access = tess::currentInstallationAccess();
    // The language the user last chose in the window; its record is only read.
    tess::FileUserStore store(tess::defaultUserStorePath());
    env.storedEigo = store.readInteger(tess::UserValueEigo);
    env.journalFolder = tess::journal::defaultJournalFolder();
    env.runtimeFolder = tess::journal::defaultRuntimeFolder();
    tess::ReportPdfWriter pdf;
    env.reportCanvas = pdf.canvasMaker();
    env.outIsTerminal = console.outIsTerminal;
    env.errIsTerminal = console.errIsTerminal;
    if (console.errColumns > 0)
        env.errColumns = console.errColumns;
    return tess::cli::runCommandLine(args, env, std::cout, std::cerr);
}
