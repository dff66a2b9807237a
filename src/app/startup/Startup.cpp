#include "app/startup/Startup.h"

#include "app/common/Ui.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/common/OwnProcess.h"
#include "domain/settings/IniFile.h"
#include "domain/settings/UserStore.h"

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <vector>

namespace tess {
namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool endsWithBkh(std::string_view name)
{
    if (name.size() < 4)
        return false;
    const std::string_view tail = name.substr(name.size() - 4);
    return tail[0] == '.' && (tail[1] == 'b' || tail[1] == 'B') && (tail[2] == 'k' || tail[2] == 'K')
        && (tail[3] == 'h' || tail[3] == 'H');
}

} // namespace

StartupEnvironment currentStartupEnvironment()
{
    StartupEnvironment env;
    env.executablePath = ownExecutablePath();
    env.lcAll = environmentValue("LC_ALL");
    env.lcMessages = environmentValue("LC_MESSAGES");
    env.lang = environmentValue("LANG");
    return env;
}

InstallationAccess currentInstallationAccess()
{
    return InstallationAccess {defaultUserDataFolder(), {}};
}

std::string folderOfExecutable(std::string_view executablePath)
{
    const auto slash = executablePath.find_last_of(PathSeparators);
    if (slash == std::string_view::npos)
        return {};
    return std::string(executablePath.substr(0, slash + 1));
}

std::uint16_t countTableFiles(const std::string& folder)
{
    unsigned count = 0;
    for (const std::string& name : folderEntries(folder))
        if (endsWithBkh(name) && count < std::numeric_limits<std::uint16_t>::max())
            ++count;
    return static_cast<std::uint16_t>(count);
}

bool localeIsJapanese(std::string_view locale)
{
    const std::string_view languagePart = locale.substr(0, locale.find_first_of("_.@"));
    return languagePart.size() == 2 && (languagePart[0] == 'j' || languagePart[0] == 'J')
        && (languagePart[1] == 'a' || languagePart[1] == 'A');
}

Language chooseStartupLanguage(std::optional<int> storedEigo, const StartupEnvironment& env)
{
    if (storedEigo == 0)
        return Language::Japanese;
    if (storedEigo == 1)
        return Language::English;
    // POSIX precedence: LC_ALL overrides LC_MESSAGES, which overrides LANG.
    for (const std::string* locale : {&env.lcAll, &env.lcMessages, &env.lang})
        if (!locale->empty())
            return localeIsJapanese(*locale) ? Language::Japanese : Language::English;
    return Language::English;
}

std::optional<std::string> fileToOpenAtStart(std::span<const std::string> arguments, std::string_view workingFolder)
{
    bool options = true;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
            continue;
        }
        if (argument.empty() || (options && argument.starts_with('-')))
            continue;
        std::filesystem::path path = pathOf(argument);
        if (path.is_relative())
            path = pathOf(workingFolder) / path;
        return utf8Of(path.lexically_normal());
    }
    return std::nullopt;
}

void startUp(Workspace& ws, Ui& ui, UserStore& store, const StartupEnvironment& env, const InstallationAccess& access)
{
    // The program folder is recorded for other tools; the program itself
    // takes it from its own path, so a store that cannot be written or read
    // does not leave it looking for its files in the wrong place.
    const std::string folder = folderOfExecutable(env.executablePath);
    store.writeString(UserValueExePath, folder);
    ws.settings.applicationFolder = folder;

    ws.settings.userFolder = access.userDataFolder;
    ws.settings.installationWritable = access.canWrite ? access.canWrite(folder) : folderWritable(folder);

    ws.settings.fileVersion = readFileVersionSettings(settingsFilePath(ws));
    // Where the settings file cannot be written, the user store keeps the
    // switch of this user, and the user's word is the last.
    if (const std::optional<int> own = store.readInteger(UserValueSpecialFunction))
        ws.settings.fileVersion.specialFunctions = *own != 0;

    if (ws.settings.fileVersion.view)
        ui.showMessage(Message::same(ws.settings.applicationFolder), ws.settings.language);
    // The ROM versions offered and the limits come from this file: where a
    // default stood in for a damaged line, the user learns it before
    // choosing from what it offers.
    if (const std::optional<Message> notice = settingsDamageNotice(ws))
        ui.showMessage(*notice, ws.settings.language);
    // Model indices 0..9 have a table folder named after the model.
    for (std::size_t i = 0; i < ws.settings.tableFileCount.size(); ++i) {
        const std::string model(catalogue::modelName(catalogue::allModels[i]));
        const std::string modelFolder = ws.settings.applicationFolder + model;
        // An existing folder, or one that cannot be made, is no error; one
        // the user may not write into is not even tried.
        if (ws.settings.installationWritable)
            makeFolder(modelFolder);
        ws.settings.tableFileCount[i] = countTableFiles(modelFolder);
        ws.settings.userTableFileCount[i]
            = ws.settings.userFolder.empty() ? 0 : countTableFiles(ws.settings.userFolder + model);
    }

    ws.settings.portName = store.readString(UserValueCom);
    ws.settings.language = chooseStartupLanguage(store.readInteger(UserValueEigo), env);

    ws.doc.state = DocumentState {};
    ws.doc.identity = InverterIdentity {0, 0, 0, ws.settings.fileVersion.of(LimitSection::QM71).newVer};
    ws.view.commands = CommandStates {};
    applyNoDocumentState(ws.view.commands);
    ws.settings.writeWaitMs = 150;
    ws.view.logWindowOpen = false;
    ws.doc.content = GridContent::None;
}

std::string settingsFilePath(const Workspace& ws)
{
    return ws.settings.applicationFolder + FileVersionIniName;
}

std::optional<Message> settingsDamageNotice(const Workspace& ws)
{
    const std::vector<SettingsLine>& unusable = ws.settings.fileVersion.unusableLines;
    if (unusable.empty())
        return std::nullopt;
    Message notice;
    for (const SettingsLine& line : unusable) {
        const Message one
            = message(TextId::SettingsLineUnusable, settingsFilePath(ws), std::to_string(line.number), line.text);
        const char* const separator = notice.en.empty() ? "" : "\n";
        notice.ja += separator + one.ja;
        notice.en += separator + one.en;
    }
    return notice;
}

bool clearSpecialFunctionOnExit(const Workspace& ws, UserStore& store)
{
    const bool inFile = ws.settings.installationWritable
        && writeIniBool(*ws.writer, settingsFilePath(ws), "spcialfunc", "used", false);
    // The store takes the switch only where it has to: a user of a portable
    // installation never finds it there.
    const bool storeHoldsIt = store.readInteger(UserValueSpecialFunction).has_value();
    if (!storeHoldsIt && (inFile || !ws.settings.fileVersion.specialFunctions))
        return inFile || !ws.settings.installationWritable;
    return store.writeInteger(UserValueSpecialFunction, 0);
}

} // namespace tess
