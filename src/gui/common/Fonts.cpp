#include "gui/common/Fonts.h"

#include "app/mainwindow/MainWindowTexts.h"
#include "gui/common/QtText.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>

namespace tess::gui {
namespace {

QString installed(const QStringList& families, const QString& name)
{
    for (const QString& family : families)
        if (family.compare(name, Qt::CaseInsensitive) == 0)
            return family;
    return {};
}

bool isAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Whether the family's narrow and wide letters advance alike. Measured, as
// fontconfig leaves the spacing of several monospaced CJK faces unset.
bool hasFixedAdvance(const QString& family)
{
    const QFontMetricsF metrics {QFont(family)};
    return qFuzzyCompare(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
}

// A fixed-pitch family with Japanese glyphs, so that the columns of a
// Japanese printout line up as those of an English one.
QString fixedPitchJapaneseFamily()
{
    const QStringList families = QFontDatabase::families();
    static const QStringList known {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
        QStringLiteral("TakaoGothic"), QStringLiteral("VL Gothic"), QStringLiteral("Source Han Mono")};
    for (const QString& candidate : known)
        if (const QString found = installed(families, candidate); !found.isEmpty())
            return found;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese))
        if (hasFixedAdvance(family))
            return family;
    return {};
}

} // namespace

QString nearestInstalledFamily(const QString& wanted, Language language)
{
    const QStringList families = QFontDatabase::families();
    if (const QString exact = installed(families, wanted); !exact.isEmpty())
        return exact;
    static const QStringList japanese {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
        QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("TakaoPGothic"),
        QStringLiteral("VL PGothic"), QStringLiteral("Source Han Sans JP")};
    static const QStringList serif {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
        QStringLiteral("Noto Serif"), QStringLiteral("DejaVu Serif"), QStringLiteral("FreeSerif")};
    for (const QString& candidate : language == Language::Japanese ? japanese : serif)
        if (const QString found = installed(families, candidate); !found.isEmpty())
            return found;
    if (language == Language::Japanese) {
        const QStringList withJapanese = QFontDatabase::families(QFontDatabase::Japanese);
        if (!withJapanese.isEmpty())
            return withJapanese.front();
    }
    return QApplication::font().family();
}

QString printFontFamily(const QString& wanted)
{
    const QStringList families = QFontDatabase::families();
    if (const QString exact = installed(families, wanted); !exact.isEmpty())
        return exact;
    if (!isAscii(wanted)) {
        if (const QString fixed = fixedPitchJapaneseFamily(); !fixed.isEmpty())
            return fixed;
        return nearestInstalledFamily(wanted, Language::Japanese);
    }
    static const QStringList fixedPitch {QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
        QStringLiteral("Nimbus Mono PS"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Mono")};
    for (const QString& candidate : fixedPitch)
        if (const QString found = installed(families, candidate); !found.isEmpty())
            return found;
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QFont formFont(Language language)
{
    const LanguagePresentation p = languagePresentation(language);
    QFont font(nearestInstalledFamily(fromUtf8(p.fontFamily), language));
    font.setPointSize(p.fontPointSize);
    return font;
}

} // namespace tess::gui
