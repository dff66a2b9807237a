#include "app/about/AboutPresenter.h"

#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/text/Texts.h"

namespace tess {
namespace {

constexpr const char* BlankLine = "\n\n";

// "QM71 : 3": the model's name and its table count in plain decimal.
std::string countLine(const Workspace& ws, catalogue::Model model)
{
    return std::string(catalogue::modelName(model)) + " : "
        + std::to_string(ws.settings.tableFileCount[static_cast<std::size_t>(catalogue::indexOf(model))]);
}

std::string en(TextId id)
{
    return std::string(text(id, Language::English));
}

} // namespace

AboutPresenter::AboutPresenter(const Workspace& ws)
    : m_countsVisible(ws.settings.fileVersion.specialFunctions)
    , m_caption(text(TextId::AboutCaption, ws.settings.language))
    , m_programName(programTitle())
    , m_comment(text(TextId::AboutComment, ws.settings.language))
    , m_okText(text(TextId::AboutOk, ws.settings.language))
{
    for (int model = 0; model <= 8; ++model)
        m_total += ws.settings.tableFileCount[static_cast<std::size_t>(model)];

    const std::string fileVersion = en(TextId::AboutFileVersionPrefix) + ws.settings.fileVersion.fileVersion;
    // The version stays text: formatting 4.5 as a number would follow the
    // process locale.
    m_productName = en(TextId::AboutLegalNotice) + BlankLine + en(TextId::AboutVersionPrefix) + TESS_VERSION_TEXT
        + BlankLine + fileVersion;

    using catalogue::Model;
    const auto line = [&ws](Model model) { return countLine(ws, model); };
    m_countsFirstColumn = fileVersion + en(TextId::AboutTotalFilesPrefix) + std::to_string(m_total) + BlankLine
        + en(TextId::AboutFilesPerModel) + BlankLine + line(Model::QM71) + BlankLine + line(Model::QM71RTP) + BlankLine
        + line(Model::LX71ht) + BlankLine + line(Model::QM71K);
    m_countsSecondColumn = line(Model::LX71RTP) + BlankLine + line(Model::LX71) + BlankLine + line(Model::LX75RTP)
        + BlankLine + line(Model::LX71K);
    m_countsThirdColumn = line(Model::QM71N) + BlankLine;
}

std::string AboutPresenter::programTitle()
{
    return en(TextId::ApplicationTitle);
}

std::string AboutPresenter::reversedProgramTitle()
{
    const std::string title = programTitle();
    return std::string(title.rbegin(), title.rend()); // the title is plain ASCII
}

bool AboutPresenter::onSpot() const
{
    return m_hasPosition && m_x >= SpotLeft && m_x <= SpotRight && m_y >= SpotTop && m_y <= SpotBottom;
}

void AboutPresenter::mouseMoved(int x, int y)
{
    m_hasPosition = true;
    m_x = x;
    m_y = y;
    if (!onSpot())
        m_programName = programTitle();
}

void AboutPresenter::doubleClicked()
{
    if (onSpot())
        m_programName = reversedProgramTitle();
}

} // namespace tess
