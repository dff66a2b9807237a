#pragma once

#include "domain/common/Language.h"

#include <array>
#include <cstdint>
#include <string>

namespace tess {

struct Workspace;

// The About box (`AboutDialog`) as data: what its controls show and the hidden
// spot on its icon. The form shows this state and forwards the mouse.
class AboutPresenter {
public:
    static constexpr int ClientHeight = 230;
    static constexpr int NormalWidth = 375;
    // Wide enough to bring the counts panel (Panel2) with the per-model file counts into view.
    static constexpr int WideWidth = 672;
    static constexpr int CountsPanelWidth = 273;

    // The hidden spot on ProgramIcon, in the icon's own pixels, inclusive.
    static constexpr int SpotLeft = 32;
    static constexpr int SpotRight = 33;
    static constexpr int SpotTop = 28;
    static constexpr int SpotBottom = 29;

    explicit AboutPresenter(const Workspace& ws);

    // The sum of the table counts of models 0..8 (model 9 is counted at
    // start-up but has no line here and is left out of the total) in the
    // installation. Once the user's own folder holds tables of these models,
    // each count shows as "installation / user".
    int totalFiles() const { return m_total; }
    // Whether the counts panel (Panel2) is in view (the special functions are on).
    bool countsVisible() const { return m_countsVisible; }
    int clientWidth() const { return m_countsVisible ? WideWidth : NormalWidth; }

    const std::string& caption() const { return m_caption; }
    const std::string& programName() const { return m_programName; }
    const std::string& productName() const { return m_productName; }
    const std::string& comment() const { return m_comment; }
    const std::string& okText() const { return m_okText; }
    const std::string& countsFirstColumn() const { return m_countsFirstColumn; }
    const std::string& countsSecondColumn() const { return m_countsSecondColumn; }
    const std::string& countsThirdColumn() const { return m_countsThirdColumn; }

    // The mouse moved over the icon: leaving the spot shows the title again.
    void mouseMoved(int x, int y);
    // A double click on the icon: on the spot, the title turns backwards.
    void doubleClicked();

    // "71Series Tessaline" and "enilasseT seireS17".
    static std::string programTitle();
    static std::string reversedProgramTitle();

private:
    bool onSpot() const;

    int m_total = 0;
    bool m_countsVisible = false;
    std::string m_caption;
    std::string m_programName;
    std::string m_productName;
    std::string m_comment;
    std::string m_okText;
    std::string m_countsFirstColumn;
    std::string m_countsSecondColumn;
    std::string m_countsThirdColumn;
    bool m_hasPosition = false;
    int m_x = 0;
    int m_y = 0;
};

} // namespace tess
