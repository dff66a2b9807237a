#pragma once

#include "core/common/Language.h"

#include <QFont>
#include <QString>

namespace tess::gui {

// The installed family nearest to the one asked for: the family itself when
// installed, else a look-alike, else (for Japanese) any family that has
// Japanese glyphs, else the application's default family.
QString nearestInstalledFamily(const QString& wanted, Language language);

// The main window's font in the language.
QFont formFont(Language language);

} // namespace tess::gui
