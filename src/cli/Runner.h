#pragma once

#include "app/startup/Startup.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/print/PrintCanvas.h"

#include <functional>
#include <memory>

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

// tessaline-cli: the data set jobs of the main window (New, a look at the
// grid, value entry with Save, the .csv copy, Data Read, Data Write, the
// comparison with the drive and Inverter change) run from a shell on the
// same libraries, without a window.
namespace tess::cli {

enum ExitStatus : int {
    ExitDone = 0,
    ExitRefused = 1, // the input or a rule refused; nothing written
    ExitUsage = 2, // the command line is wrong
    ExitCsvNotSaved = 3, // the .csl was saved, its .csv copy was not (it holds the previous save, or is missing)
    // read, write, compare-drive: the line failed, the drive's identity was
    // refused or the words read back after a write differ; compare-drive also
    // for any refusal before the comparison, since 1 tells a difference there
    ExitTransferFailed = 4,
    ExitCancelled = 5, // read, write, compare-drive: stopped by SIGINT, SIGTERM or SIGHUP
    ExitWordsRefused = 6, // write: every word went out, but the drive refused some (listed)
    ExitDriveDiffers = 1, // compare-drive: the drive holds other values
    // convert: the data set was converted and written, but a kept value lies
    // outside its new range (the conversion report names the words); show
    // --check: a value is not what its table row allows (listed)
    ExitOutOfRange = 7,
    // show: printed, but the data file or its table was damaged and only the
    // part before the damage is shown (the message names the file and line);
    // show, export, set, new: done, but the data file's header or the
    // parameter table was damaged (its last line cut, its line ends mixed)
    ExitInputDamaged = 8,
    // diff has the statuses of diff(1), which scripts and git expect of a
    // comparison: 0 the same, 1 different, 2 trouble (a wrong command line,
    // the installation or a data file refused, damaged input)
    ExitDataSetsDiffer = 1,
    ExitDiffTrouble = 2,
};

// What the process brings: where the program lies and the locale (as the
// window reads them at start), the language the user last chose in the
// window, whether standard output and standard error are terminals (and how
// wide the latter is), the folder the transfers keep writelog.txt in ("":
// the working directory, as the window does), and what writes files (the
// system's when none is given).
struct CliEnvironment {
    StartupEnvironment startup;
    // The user's own table folder and what may be written (none and the
    // system's check when left empty).
    InstallationAccess access;
    std::optional<int> storedEigo;
    bool outIsTerminal = false;
    bool errIsTerminal = false;
    int errColumns = 80;
    std::string workFolder;
    FileWriter* writer = nullptr;
    // Where the transfers keep their journals ("": none is kept) and the
    // ports' lock files ("": the ports are not locked).
    std::string journalFolder;
    std::string runtimeFolder;
    // The page the report command draws on, writing a PDF at the path
    // given. The command line library has no PDF writer of its own: the
    // program gives one when it is built with the GUI, and without it the
    // report command is not available.
    std::function<std::unique_ptr<print::PrintCanvas>(const std::string& pdfPath)> reportCanvas;
};

// Runs one command line (the arguments after the program name): results to
// out, messages to err. Returns an ExitStatus.
int runCommandLine(std::span<const std::string> args, const CliEnvironment& env, std::ostream& out, std::ostream& err);

// The model of a name as the catalogue spells it; a name that differs only
// in letter case is taken too. Nothing for an unknown name.
std::optional<catalogue::Model> modelNamed(std::string_view name);

} // namespace tess::cli
