#include "gui/common/Fonts.h"

#include "core/app/MainWindowTexts.h"
#include "gui/common/QtText.h"

#include <QApplication>
#include <QFontDatabase>

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
    if (!isAscii(wanted))
        return nearestInstalledFamily(wanted, Language::Japanese);
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
