#pragma once

#include "domain/common/Language.h"

#include <QFont>
#include <QString>

namespace tess::gui {

// The installed family nearest to the one asked for: the family itself when
// installed, else a look-alike, else (for Japanese) any family that has
// Japanese glyphs, else the application's default family.
QString nearestInstalledFamily(const QString& wanted, Language language);

// The installed family a printout font name stands for: the family itself
// when installed, a metric-compatible or at least fixed-pitch face for
// "Courier New", a fixed-pitch face with Japanese glyphs (else any with
// them) for a Japanese name.
QString printFontFamily(const QString& wanted);

// The main window's font in the language.
QFont formFont(Language language);

} // namespace tess::gui
