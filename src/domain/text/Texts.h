#pragma once

#include "domain/common/Message.h"

#include <string_view>

namespace tess {

enum class TextId : int {
#define TESS_TEXT(id, ja, en) id,
#include "domain/text/Texts.def"
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
// The text with "%1" and "%2" filled in, in both languages.
Message message(TextId id, std::string_view arg1, std::string_view arg2 = {}, std::string_view arg3 = {});

// A fixed text with a second line that names the cause: the file or device
// and the system's reason, or the line of the file. The fixed text stays the
// first line as it is, so whoever knows it still recognises it.
Message withCause(const Message& text, const Message& cause);
// "path: reason" — a file or device and the system's reason (errno text).
Message fileReasonCause(std::string_view path, std::string_view reason);
// "path, line n" — n counts from 1, as an editor shows lines.
Message fileLineCause(std::string_view path, int line);
// "path ends before line n".
Message fileEndsBeforeLineCause(std::string_view path, int line);
// "path does not exist".
Message fileMissingCause(std::string_view path);

} // namespace tess
