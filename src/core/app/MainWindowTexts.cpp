#include "core/app/MainWindowTexts.h"

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

std::span<const ControlText> mainWindowLabelTexts()
{
    static constexpr ControlText texts[] = {
        {"Label1", TextId::LabelMachine},
        {"Label2", TextId::LabelControlMode},
        {"Label3", TextId::LabelCapVolt},
        {"Label4", TextId::LabelRomVersion},
        {"Label5", TextId::LabelFileName},
    };
    return texts;
}

std::span<const ControlText> mainWindowMenuTexts()
{
    static constexpr ControlText texts[] = {
        {"File1", TextId::MenuFile},
        {"New1", TextId::MenuNew},
        {"Open1", TextId::MenuOpen},
        {"Save1", TextId::MenuSave},
        {"SaveAs1", TextId::MenuSaveAs},
        {"Close1", TextId::MenuClose},
        {"F1", TextId::MenuCompare},
        {"Print1", TextId::MenuPrint},
        {"Exit1", TextId::MenuExit},
        {"K1", TextId::MenuExecute},
        {"K2", TextId::MenuDataRead},
        {"K3", TextId::MenuDataWrite},
        {"K4", TextId::MenuOptions},
        {"K5", TextId::MenuCommSet},
        {"K8", TextId::MenuCommLog},
        {"K9", TextId::MenuInverterChange},
        {"KL1", TextId::MenuLanguage},
        {"KJ1", TextId::MenuJapanese},
        {"KE1", TextId::MenuEnglish},
        {"K6", TextId::MenuHelp},
        {"K7", TextId::MenuAbout},
        {"ROM1", TextId::MenuRom},
        {"N5", TextId::MenuAddVersionFile},
    };
    return texts;
}

std::span<const ControlText> mainWindowHintTexts()
{
    static constexpr ControlText texts[] = {
        {"SpeedButton1", TextId::HintNew},
        {"SpeedButton2", TextId::HintOpen},
        {"SpeedButton3", TextId::HintSaveAs},
        {"SpeedButton4", TextId::HintClose},
        {"SpeedButton5", TextId::HintDataRead},
        {"SpeedButton6", TextId::HintDataWrite},
        {"SpeedButton7", TextId::HintLog},
        {"SpeedButton8", TextId::HintInverterChange},
        {"SpeedButton9", TextId::HintCompare},
        {"SpeedButton10", TextId::HintPrint},
    };
    return texts;
}

const std::array<TextId, GridColumnCount>& gridColumnTitles()
{
    static constexpr std::array<TextId, GridColumnCount> titles {
        TextId::GridTitleCode,
        TextId::GridTitleName,
        TextId::GridTitleRange,
        TextId::GridTitleDefault,
        TextId::GridTitleValue,
        TextId::GridTitleDecimals,
        TextId::GridTitleFigures,
    };
    return titles;
}

void writeGridTitles(GridRows& rows, Language language)
{
    for (int col = 0; col < GridColumnCount; ++col)
        rows.setText(0, col, std::string(text(gridColumnTitles()[static_cast<std::size_t>(col)], language)));
}

} // namespace tess
