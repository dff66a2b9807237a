#pragma once

#include "app/common/Workspace.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tess {

class Ui;
class UserStore;

// What start-up takes from the process: where the program lies and the
// locale variables ("" for an unset one).
struct StartupEnvironment {
    std::string executablePath; // full path of the running program
    std::string lcAll;
    std::string lcMessages;
    std::string lang;
};
// The running process's own: /proc/self/exe and the environment.
StartupEnvironment currentStartupEnvironment();

// The user's side of an installation: their own folder for the tables they
// add, and whether they may write into a folder.
struct InstallationAccess {
    // "$XDG_DATA_HOME/tessaline/", with its trailing '/'; "": none.
    std::string userDataFolder;
    // Whether the user may make files in a folder; empty: the system decides
    // (access(2), which lets root write everywhere).
    std::function<bool(const std::string& folder)> canWrite;
};
// The running process's user: the data folder by the environment, the
// system's check.
InstallationAccess currentInstallationAccess();

// Everything up to and including the last '/'; "" when there is none.
std::string folderOfExecutable(std::string_view executablePath);

// The entries of folder whose name ends in ".bkh" in any case; 0 for a
// missing folder. Counts beyond 65535 stay at 65535.
std::uint16_t countTableFiles(const std::string& folder);

// True when a locale name ("ja_JP.UTF-8", "ja", "ja_JP@euro") is Japanese.
bool localeIsJapanese(std::string_view locale);

// The language at start: a choice stored by the language commands ("EIGO":
// 0 Japanese, 1 English) wins; without one the locale decides (the first set
// of LC_ALL, LC_MESSAGES, LANG): Japanese when it names Japanese, otherwise
// English.
Language chooseStartupLanguage(std::optional<int> storedEigo, const StartupEnvironment& env);

// Brings the program up: records the program folder in the user store and
// takes it as the settings' applicationFolder, reads FileVersion.INI (the
// special functions switch as the user store holds it, when it does), shows
// the program folder when the "View" flag asks for it, makes the model
// folders when the installation may be written and counts the tables in
// them and in the user's folder, reads the port name, chooses the
// language, and leaves the workspace with no document open, the commands in
// their no-document state and the grid's header in the chosen language. Nothing here fails: what
// cannot be read or made takes its default.
// Without an access given there is no user folder and the system decides
// what may be written.
void startUp(
    Workspace& ws, Ui& ui, UserStore& store, const StartupEnvironment& env, const InstallationAccess& access = {});

// `tessaline FILE.csl`: the data set file named on the command line, which
// the window opens once it is up; made absolute against workingFolder.
// arguments are the program's own (the program name first, the toolkit's
// options already taken out). Arguments starting with '-' are options, not
// files, up to a "--"; the first file counts. Nothing when none is named.
std::optional<std::string> fileToOpenAtStart(std::span<const std::string> arguments, std::string_view workingFolder);

// The path of FileVersion.INI in the program folder.
std::string settingsFilePath(const Workspace& ws);

// The lines of FileVersion.INI that could not be used, each named with the
// file and its number, one line of the message each; nothing when every
// line could be used. `startUp` shows it to the window's user.
std::optional<Message> settingsDamageNotice(const Workspace& ws);

// On a normal close: writes used=0 in section "spcialfunc" of FileVersion.INI,
// changing nothing else in the file, when the installation may be written.
// The user store takes the switch, off, when it holds one, or when the file
// could not be written and the switch was on: the next run reads it from
// there. False when the switch could not be left off where it is read.
bool clearSpecialFunctionOnExit(const Workspace& ws, UserStore& store);

} // namespace tess
