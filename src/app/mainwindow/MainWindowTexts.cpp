#include "app/mainwindow/MainWindowTexts.h"

namespace tess {

LanguagePresentation languagePresentation(Language language)
{
    if (language == Language::Japanese)
        return {"MS PGothic", 9, 945, 3 * DefaultColumnWidth};
    return {"Times New Roman", 9, 870, 2 * DefaultColumnWidth};
}

std::array<int, GridColumnCount> gridColumnWidths(Language language)
{
    constexpr int w = DefaultColumnWidth;
    return {w, languagePresentation(language).column1Width, 3 * w, w, w, w, w};
}

std::string mainWindowCaption()
{
    // The version is kept as text: formatting 4.5 as a number would follow
    // the process locale and could come out as "4,50".
    return std::string(text(TextId::MainCaptionPrefix, Language::English)) + TESS_VERSION_TEXT;
}

std::span<const CommandText> mainWindowMenuTexts()
{
    using C = CommandStates;
    static constexpr CommandText texts[] = {
        {&C::fileMenu, TextId::MenuFile},
        {&C::editMenu, TextId::MenuEdit},
        {&C::undoItem, TextId::MenuUndo},
        {&C::redoItem, TextId::MenuRedo},
        {&C::findItem, TextId::MenuFind},
        {&C::newItem, TextId::MenuNew},
        {&C::openItem, TextId::MenuOpen},
        {&C::saveItem, TextId::MenuSave},
        {&C::saveAsItem, TextId::MenuSaveAs},
        {&C::closeItem, TextId::MenuClose},
        {&C::compareItem, TextId::MenuCompare},
        {&C::compareDriveItem, TextId::MenuCompareDrive},
        {&C::printItem, TextId::MenuPrint},
        {&C::exitItem, TextId::MenuExit},
        {&C::executeMenu, TextId::MenuExecute},
        {&C::dataReadItem, TextId::MenuDataRead},
        {&C::dataWriteItem, TextId::MenuDataWrite},
        {&C::optionsMenu, TextId::MenuOptions},
        {&C::commSettingsItem, TextId::MenuCommSet},
        {&C::commLogItem, TextId::MenuCommLog},
        {&C::inverterChangeItem, TextId::MenuInverterChange},
        {&C::languageMenu, TextId::MenuLanguage},
        {&C::japaneseItem, TextId::MenuJapanese},
        {&C::englishItem, TextId::MenuEnglish},
        {&C::helpMenu, TextId::MenuHelp},
        {&C::aboutItem, TextId::MenuAbout},
        {&C::romMenu, TextId::MenuRom},
        {&C::addRomFilesItem, TextId::MenuAddVersionFile},
        {&C::recentFilesMenu, TextId::MenuRecentFiles},
        {&C::conversionReportItem, TextId::MenuConversionReport},
        {&C::transferHistoryItem, TextId::MenuTransferHistory},
        {&C::endComparisonItem, TextId::MenuEndComparison},
        {&C::commissioningReportItem, TextId::MenuCommissioningReport},
    };
    return texts;
}

std::span<const CommandShortcut> mainWindowShortcuts()
{
    using C = CommandStates;
    static constexpr CommandShortcut shortcuts[] = {
        {&C::newItem, "Ctrl+N"},
        {&C::openItem, "Ctrl+O"},
        {&C::saveItem, "Ctrl+S"},
        {&C::saveAsItem, "Ctrl+Shift+S"},
        {&C::printItem, "Ctrl+P"},
        // A comparison is ended before the data set is closed.
        {&C::endComparisonItem, "Ctrl+W"},
        {&C::closeItem, "Ctrl+W"},
        {&C::exitItem, "Ctrl+Q"},
        {&C::undoItem, "Ctrl+Z"},
        {&C::redoItem, "Ctrl+Y"},
        {&C::findItem, "Ctrl+F"},
    };
    return shortcuts;
}

bool CommandStates::*commandOfKeys(std::string_view keys, const CommandStates& states)
{
    bool CommandStates::*holder = nullptr;
    for (const CommandShortcut& shortcut : mainWindowShortcuts()) {
        if (shortcut.keys != keys)
            continue;
        if (states.*shortcut.command)
            return shortcut.command;
        holder = shortcut.command;
    }
    return holder;
}

std::span<const CommandText> mainWindowHintTexts()
{
    using C = CommandStates;
    static constexpr CommandText texts[] = {
        {&C::newButton, TextId::HintNew},
        {&C::openButton, TextId::HintOpen},
        {&C::saveAsButton, TextId::HintSaveAs},
        {&C::closeButton, TextId::HintClose},
        {&C::dataReadButton, TextId::HintDataRead},
        {&C::dataWriteButton, TextId::HintDataWrite},
        {&C::commLogButton, TextId::HintLog},
        {&C::inverterChangeButton, TextId::HintInverterChange},
        {&C::compareButton, TextId::HintCompare},
        {&C::printButton, TextId::HintPrint},
    };
    return texts;
}

} // namespace tess
