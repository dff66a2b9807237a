#include "core/app/Texts.h"

#include <array>

namespace tess {
namespace {

constexpr std::array<TextPair, static_cast<std::size_t>(TextId::Count_)> table{{
#define TESS_TEXT(id, ja, en) {ja, en},
#include "core/app/Texts.def"
#undef TESS_TEXT
}};

} // namespace

const TextPair& textPair(TextId id) { return table.at(static_cast<std::size_t>(id)); }

std::string_view text(TextId id, Language language)
{
    const TextPair& pair = textPair(id);
    return language == Language::Japanese ? pair.ja : pair.en;
}

Message message(TextId id)
{
    const TextPair& pair = textPair(id);
    return Message{std::string(pair.ja), std::string(pair.en)};
}

} // namespace tess
