#pragma once

namespace tess {

// The one UI language of the program; every text is chosen by it at the
// moment it is shown.
enum class Language { Japanese, English };

} // namespace tess
