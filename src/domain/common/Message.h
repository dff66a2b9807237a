#pragma once

#include "domain/common/Language.h"

#include <string>

namespace tess {

// A text the user sees, in both languages. The language is picked only when
// the text is shown, so a message built before a language switch still comes
// out in the language in force at display time.
struct Message {
    std::string ja;
    std::string en;

    const std::string& in(Language language) const { return language == Language::Japanese ? ja : en; }

    // Texts that exist in one form only (link-level texts, file contents).
    static Message same(std::string text) { return Message {text, std::move(text)}; }

    friend bool operator==(const Message&, const Message&) = default;
};

} // namespace tess
