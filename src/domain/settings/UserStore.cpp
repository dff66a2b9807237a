#include "domain/settings/UserStore.h"

#include "domain/common/TextParse.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tess {
namespace {

std::string upper(std::string_view name)
{
    std::string out(name);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

bool holdsLineEnd(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool validName(std::string_view name)
{
    return !name.empty() && !holdsLineEnd(name) && name.find('=') == name.npos;
}

// The name of a "name=value" line; nothing for a line without '='.
std::optional<std::string_view> lineName(std::string_view line)
{
    const auto eq = line.find('=');
    if (eq == line.npos)
        return std::nullopt;
    return line.substr(0, eq);
}

} // namespace

std::optional<int> UserStore::readInteger(std::string_view name)
{
    return parseInteger(readString(name), IntegerSign::MinusOnly);
}

bool UserStore::writeInteger(std::string_view name, int value)
{
    return writeString(name, std::to_string(value));
}

std::optional<std::string_view> findStoreValue(std::string_view bytes, std::string_view name)
{
    const auto sameName = [name](std::string_view other) {
        return other.size() == name.size() && std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
            return upperAscii(a) == upperAscii(b);
        });
    };
    for (const std::string_view line : splitLines(bytes)) {
        const auto found = lineName(line);
        if (found && sameName(*found))
            return line.substr(found->size() + 1);
    }
    return std::nullopt;
}

std::string FileUserStore::readString(std::string_view name)
{
    std::string bytes;
    if (m_path.empty() || !readFileBytes(m_path, bytes))
        return {};
    return std::string(findStoreValue(bytes, name).value_or(std::string_view()));
}

bool FileUserStore::writeString(std::string_view name, std::string_view value)
{
    if (m_path.empty() || !validName(name) || holdsLineEnd(value))
        return false;
    std::string bytes;
    if (!readFileBytes(m_path, bytes)) {
        // A store that exists but cannot be read is not replaced: the values
        // in it would be lost.
        if (fileExists(m_path) || isDirectory(m_path))
            return false;
        bytes.clear();
        std::error_code ec;
        std::filesystem::create_directories(pathOf(m_path).parent_path(), ec);
    }
    const std::string wanted = upper(name);
    const std::string newLine = std::string(name) + "=" + std::string(value);
    std::string out;
    bool replaced = false;
    for (const std::string_view line : splitLines(bytes)) {
        const auto found = lineName(line);
        if (!replaced && found && upper(*found) == wanted) {
            out += newLine;
            replaced = true;
        } else {
            out += line;
        }
        out += '\n';
    }
    if (!replaced)
        out += newLine + '\n';
    return m_writer.replaceFile(m_path, out, nullptr);
}

std::string MemoryUserStore::readString(std::string_view name)
{
    const auto it = m_values.find(upper(name));
    return it == m_values.end() ? std::string() : it->second;
}

bool MemoryUserStore::writeString(std::string_view name, std::string_view value)
{
    if (!validName(name) || holdsLineEnd(value))
        return false;
    m_values[upper(name)] = std::string(value);
    return true;
}

namespace {

// The base directory of the XDG rules (a relative value is to be ignored),
// else the one under HOME, with no trailing '/' ("" for "/"); nothing when
// neither is absolute.
std::optional<std::string> baseDirectory(const char* xdgValue, const char* home, std::string_view underHome)
{
    std::string base;
    if (xdgValue && xdgValue[0] == '/')
        base = xdgValue;
    else if (home && home[0] == '/')
        base = std::string(home) + std::string(underHome);
    else
        return std::nullopt;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    if (base == "/")
        base.clear();
    return base;
}

} // namespace

std::string userStorePath(const char* xdgConfigHome, const char* home)
{
    const std::optional<std::string> base = baseDirectory(xdgConfigHome, home, "/.config");
    return base ? *base + "/tessaline/CON.conf" : std::string();
}

std::string userDataFolderPath(const char* xdgDataHome, const char* home)
{
    const std::optional<std::string> base = baseDirectory(xdgDataHome, home, "/.local/share");
    return base ? *base + "/tessaline/" : std::string();
}

} // namespace tess
