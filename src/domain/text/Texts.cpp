#include "domain/text/Texts.h"

#include <array>
#include <string>

namespace tess {
namespace {

constexpr std::array<TextPair, static_cast<std::size_t>(TextId::Count_)> table {{
#define TESS_TEXT(id, ja, en) {ja, en},
#include "domain/text/Texts.def"
#undef TESS_TEXT
}};

} // namespace

const TextPair& textPair(TextId id)
{
    return table.at(static_cast<std::size_t>(id));
}

std::string_view text(TextId id, Language language)
{
    const TextPair& pair = textPair(id);
    return language == Language::Japanese ? pair.ja : pair.en;
}

Message message(TextId id)
{
    const TextPair& pair = textPair(id);
    return Message {std::string(pair.ja), std::string(pair.en)};
}

Message message(TextId id, std::string_view arg1, std::string_view arg2, std::string_view arg3)
{
    // One pass, so that a "%2" inside the first argument (a path may hold
    // one) stays as it is.
    const std::string_view args[] = {arg1, arg2, arg3};
    const auto fill = [&](std::string_view pattern) {
        std::string out;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '3') {
                out.append(args[pattern[i + 1] - '1']);
                ++i;
            } else {
                out.push_back(pattern[i]);
            }
        }
        return out;
    };
    const TextPair& pair = textPair(id);
    return Message {fill(pair.ja), fill(pair.en)};
}

Message withCause(const Message& text, const Message& cause)
{
    return Message {text.ja + "\n" + cause.ja, text.en + "\n" + cause.en};
}

Message fileReasonCause(std::string_view path, std::string_view reason)
{
    return message(TextId::CauseFileReason, path, reason);
}

Message fileLineCause(std::string_view path, int line)
{
    return message(TextId::CauseFileLine, path, std::to_string(line));
}

Message fileEndsBeforeLineCause(std::string_view path, int line)
{
    return message(TextId::CauseFileEndsBeforeLine, path, std::to_string(line));
}

Message fileMissingCause(std::string_view path)
{
    return message(TextId::CauseFileMissing, path);
}

} // namespace tess
