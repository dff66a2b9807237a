#include "domain/journal/FlatJson.h"

#include <charconv>

namespace tess::journal {
namespace {

void appendQuoted(std::string& out, std::string_view text)
{
    static constexpr char Digits[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            // Control characters are escaped, so that a record is always one
            // line; bytes above 0x7F pass (file names and messages are UTF-8).
            if (byte < 0x20) {
                out += "\\u00";
                out += Digits[byte >> 4];
                out += Digits[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Scanner {
public:
    explicit Scanner(std::string_view text)
        : m_text(text)
    {
    }

    void skipSpace()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t'))
            ++m_at;
    }
    bool take(char c)
    {
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool takeWord(std::string_view word)
    {
        skipSpace();
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }
    bool atEnd()
    {
        skipSpace();
        return m_at == m_text.size();
    }
    char peek()
    {
        skipSpace();
        return m_at < m_text.size() ? m_text[m_at] : '\0';
    }

    std::optional<std::string> quoted()
    {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return out;
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size())
                return std::nullopt;
            const char escaped = m_text[m_at++];
            switch (escaped) {
            case '"':
            case '\\':
            case '/':
                out += escaped;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                std::uint32_t code = 0;
                if (m_at + 4 > m_text.size())
                    return std::nullopt;
                const auto [end, error] = std::from_chars(m_text.data() + m_at, m_text.data() + m_at + 4, code, 16);
                if (error != std::errc {} || end != m_text.data() + m_at + 4)
                    return std::nullopt;
                m_at += 4;
                appendUtf8(out, code);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt; // cut short
    }

    std::optional<std::int64_t> number()
    {
        skipSpace();
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(m_text.data() + m_at, m_text.data() + m_text.size(), value);
        if (error != std::errc {})
            return std::nullopt;
        m_at = static_cast<std::size_t>(end - m_text.data());
        return value;
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

FlatJson& FlatJson::add(std::string key, std::string value)
{
    m_fields.emplace_back(std::move(key), Value {std::move(value)});
    return *this;
}

FlatJson& FlatJson::add(std::string key, std::int64_t value)
{
    m_fields.emplace_back(std::move(key), Value {value});
    return *this;
}

FlatJson& FlatJson::add(std::string key, bool value)
{
    m_fields.emplace_back(std::move(key), Value {value});
    return *this;
}

std::string FlatJson::text() const
{
    std::string out = "{";
    for (const auto& [key, value] : m_fields) {
        if (out.size() > 1)
            out += ',';
        appendQuoted(out, key);
        out += ':';
        if (const auto* s = std::get_if<std::string>(&value))
            appendQuoted(out, *s);
        else if (const auto* n = std::get_if<std::int64_t>(&value))
            out += std::to_string(*n);
        else
            out += std::get<bool>(value) ? "true" : "false";
    }
    out += '}';
    return out;
}

std::optional<FlatJson> FlatJson::parse(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    Scanner in(line);
    if (!in.take('{'))
        return std::nullopt;
    FlatJson object;
    if (in.take('}'))
        return in.atEnd() ? std::optional<FlatJson>(object) : std::nullopt;
    for (;;) {
        std::optional<std::string> key = in.quoted();
        if (!key || !in.take(':'))
            return std::nullopt;
        const char next = in.peek();
        if (next == '"') {
            std::optional<std::string> value = in.quoted();
            if (!value)
                return std::nullopt;
            object.add(std::move(*key), std::move(*value));
        } else if (in.takeWord("true")) {
            object.add(std::move(*key), true);
        } else if (in.takeWord("false")) {
            object.add(std::move(*key), false);
        } else {
            const std::optional<std::int64_t> value = in.number();
            if (!value)
                return std::nullopt;
            object.add(std::move(*key), *value);
        }
        if (in.take('}'))
            break;
        if (!in.take(','))
            return std::nullopt;
    }
    if (!in.atEnd())
        return std::nullopt;
    return object;
}

const FlatJson::Value* FlatJson::find(std::string_view key) const
{
    // The last of a repeated key counts, as most readers take it.
    for (auto it = m_fields.rbegin(); it != m_fields.rend(); ++it)
        if (it->first == key)
            return &it->second;
    return nullptr;
}

std::string FlatJson::string(std::string_view key, std::string fallback) const
{
    const Value* value = find(key);
    const auto* s = value ? std::get_if<std::string>(value) : nullptr;
    return s ? *s : fallback;
}

std::int64_t FlatJson::number(std::string_view key, std::int64_t fallback) const
{
    const Value* value = find(key);
    const auto* n = value ? std::get_if<std::int64_t>(value) : nullptr;
    return n ? *n : fallback;
}

bool FlatJson::flag(std::string_view key, bool fallback) const
{
    const Value* value = find(key);
    const auto* b = value ? std::get_if<bool>(value) : nullptr;
    return b ? *b : fallback;
}

} // namespace tess::journal
