#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tess::journal {

// One JSON object whose values are strings, whole numbers or true/false, kept
// in the order they were added: a record line of the transfer journal. Other
// programs read the lines with any JSON parser; this one reads only what it
// writes, and tells anything else apart as no object.
class FlatJson {
public:
    using Value = std::variant<std::string, std::int64_t, bool>;

    FlatJson& add(std::string key, std::string value);
    FlatJson& add(std::string key, const char* value) { return add(std::move(key), std::string(value)); }
    FlatJson& add(std::string key, std::int64_t value);
    FlatJson& add(std::string key, int value) { return add(std::move(key), static_cast<std::int64_t>(value)); }
    FlatJson& add(std::string key, bool value);

    // The object on one line, without the line end.
    std::string text() const;
    // A line as text() writes it (spaces between the tokens are taken);
    // nothing for anything else, a line cut short included.
    static std::optional<FlatJson> parse(std::string_view line);

    // The value of a key; the default when it is missing or of another type.
    std::string string(std::string_view key, std::string fallback = {}) const;
    std::int64_t number(std::string_view key, std::int64_t fallback = 0) const;
    bool flag(std::string_view key, bool fallback = false) const;
    bool has(std::string_view key) const { return find(key) != nullptr; }

    const std::vector<std::pair<std::string, Value>>& fields() const { return m_fields; }

private:
    const Value* find(std::string_view key) const;

    std::vector<std::pair<std::string, Value>> m_fields;
};

} // namespace tess::journal
