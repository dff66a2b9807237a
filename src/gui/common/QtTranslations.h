#pragma once

#include "domain/common/Language.h"

namespace tess::gui {

// Qt's own texts (standard buttons of message boxes, the file dialogs and
// their questions) in the language in force: Japanese loads Qt's Japanese
// catalogue from the installation's translations folder, English removes
// it. Without the catalogue installed they stay English.
void useQtTranslations(Language language);

} // namespace tess::gui
