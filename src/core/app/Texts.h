#pragma once

#include "core/common/Message.h"

#include <string_view>

namespace tess {

enum class TextId : int {
#define TESS_TEXT(id, ja, en) id,
#include "core/app/Texts.def"
#undef TESS_TEXT
    Count_
};

struct TextPair {
    std::string_view ja;
    std::string_view en;
};

const TextPair& textPair(TextId id);
std::string_view text(TextId id, Language language);
Message message(TextId id);

} // namespace tess
