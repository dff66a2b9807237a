#pragma once

#include "app/startup/Startup.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

// tessaline-cli: the offline data set jobs of the main window (New, a look
// at the grid, value entry with Save, the .csv copy) run from a shell on
// the same libraries, without a window.
namespace tess::cli {

enum ExitStatus : int {
    ExitDone = 0,
    ExitRefused = 1, // the input or a rule refused; nothing written
    ExitUsage = 2, // the command line is wrong
    ExitCsvNotSaved = 3, // the .csl was saved, its .csv copy was not (it holds the previous save, or is missing)
};

// What the process brings: where the program lies and the locale (as the
// window reads them at start), the language the user last chose in the
// window, whether standard output is a terminal, and what writes files (the
// system's when none is given).
struct CliEnvironment {
    StartupEnvironment startup;
    std::optional<int> storedEigo;
    bool outIsTerminal = false;
    FileWriter* writer = nullptr;
};

// Runs one command line (the arguments after the program name): results to
// out, messages to err. Returns an ExitStatus.
int runCommandLine(std::span<const std::string> args, const CliEnvironment& env, std::ostream& out, std::ostream& err);

// The model of a name as the catalogue spells it; a name that differs only
// in letter case is taken too. Nothing for an unknown name.
std::optional<catalogue::Model> modelNamed(std::string_view name);

} // namespace tess::cli
