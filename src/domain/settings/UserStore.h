#pragma once

#include "domain/common/FileIo.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

// The value names of the per-user application key.
constexpr std::string_view UserValueExePath = "exe_path"; // program folder, with its trailing '/'
constexpr std::string_view UserValueEigo = "EIGO"; // 1 English chosen, 0 Japanese chosen
constexpr std::string_view UserValueCom = "COM"; // serial port name
// The special functions switch of this user (1 on, 0 off), where the
// installation's settings file cannot be written; it wins over the file's.
constexpr std::string_view UserValueSpecialFunction = "spcialfunc";

// The per-user key-value store of the program's choices. Names are matched
// without regard to ASCII case. A store that cannot be read, or a damaged
// one, gives empty values: nothing the program does depends on it working.
class UserStore {
public:
    virtual ~UserStore() = default;

    // "" when the value is absent or the store cannot be read.
    virtual std::string readString(std::string_view name) = 0;
    // False when the value cannot be kept (the store cannot be written, or
    // the name or value holds a line end).
    virtual bool writeString(std::string_view name, std::string_view value) = 0;

    // Nothing when the value is absent or no decimal integer.
    std::optional<int> readInteger(std::string_view name);
    bool writeInteger(std::string_view name, int value);
};

// The store as a text file of "name=value" lines (UTF-8, LF), created with
// its folder on the first write. Lines it does not understand are kept.
class FileUserStore final : public UserStore {
public:
    explicit FileUserStore(std::string path, FileWriter& writer = systemFileWriter())
        : m_path(std::move(path))
        , m_writer(writer)
    {
    }

    const std::string& path() const { return m_path; }
    std::string readString(std::string_view name) override;
    bool writeString(std::string_view name, std::string_view value) override;

private:
    std::string m_path;
    FileWriter& m_writer;
};

// The value of name in the bytes of a store file: what follows the first '='
// on the first line whose name (the text before that '=') matches, without
// regard to ASCII case; nothing when no line does.
std::optional<std::string_view> findStoreValue(std::string_view bytes, std::string_view name);

// A store that lives as long as the object: for tests and tools.
class MemoryUserStore final : public UserStore {
public:
    std::string readString(std::string_view name) override;
    bool writeString(std::string_view name, std::string_view value) override;

private:
    std::map<std::string, std::string> m_values; // by upper-case name
};

// "$XDG_CONFIG_HOME/tessaline/CON.conf", or "$HOME/.config/tessaline/CON.conf"
// when XDG_CONFIG_HOME is unset, empty or relative. "" when neither is usable.
std::string userStorePath(const char* xdgConfigHome, const char* home);
// The same from the process environment (the password database standing in
// for an unset HOME).
std::string defaultUserStorePath();

// The user's own data folder, laid out like the installation for the tables
// the user adds: "$XDG_DATA_HOME/tessaline/", or "$HOME/.local/share/tessaline/"
// when XDG_DATA_HOME is unset, empty or relative. "" when neither is usable.
std::string userDataFolderPath(const char* xdgDataHome, const char* home);
std::string defaultUserDataFolder();

} // namespace tess
