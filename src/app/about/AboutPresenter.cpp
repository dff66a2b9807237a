#include "app/about/AboutPresenter.h"

#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/text/Texts.h"

namespace tess {
namespace {

constexpr const char* BlankLine = "\n\n";

// A count in plain decimal; "3 / 1" with the user's own count once the
// user has added tables of their own (the installation's, then the user's).
std::string countText(int installation, int user, bool withUser)
{
    return std::to_string(installation) + (withUser ? " / " + std::to_string(user) : std::string());
}

// "QM71 : 3": the model's name and its table count.
std::string countLine(const Workspace& ws, catalogue::Model model, bool withUser)
{
    const auto i = static_cast<std::size_t>(catalogue::indexOf(model));
    return std::string(catalogue::modelName(model)) + " : "
        + countText(ws.settings.tableFileCount[i], ws.settings.userTableFileCount[i], withUser);
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
    int userTotal = 0;
    for (std::size_t model = 0; model <= 8; ++model) {
        m_total += ws.settings.tableFileCount[model];
        userTotal += ws.settings.userTableFileCount[model];
    }
    const bool withUser = userTotal > 0;

    const std::string fileVersion = en(TextId::AboutFileVersionPrefix) + ws.settings.fileVersion.fileVersion;
    // The version stays text: formatting 4.5 as a number would follow the
    // process locale.
    m_productName = en(TextId::AboutLegalNotice) + BlankLine + en(TextId::AboutVersionPrefix) + TESS_VERSION_TEXT
        + BlankLine + fileVersion;

    using catalogue::Model;
    const auto line = [&ws, withUser](Model model) { return countLine(ws, model, withUser); };
    m_countsFirstColumn = fileVersion + en(TextId::AboutTotalFilesPrefix) + countText(m_total, userTotal, withUser)
        + BlankLine + en(TextId::AboutFilesPerModel) + BlankLine + line(Model::QM71) + BlankLine + line(Model::QM71RTP)
        + BlankLine + line(Model::LX71ht) + BlankLine + line(Model::QM71K);
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
