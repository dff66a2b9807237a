#include "gui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace tess::gui {

void useQtTranslations(Language language)
{
    // One catalogue for the whole program, installed while Japanese is in
    // force.
    static std::unique_ptr<QTranslator> japanese;
    if (language != Language::Japanese) {
        if (japanese)
            QCoreApplication::removeTranslator(japanese.get());
        japanese.reset();
        return;
    }
    if (japanese)
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    japanese = std::move(translator);
}

} // namespace tess::gui
