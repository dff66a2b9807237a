#include "app/catalogue/AddRomFilesPresenter.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/common/FileIo.h"
#include "domain/text/Texts.h"

#include <optional>

namespace tess::catalogue {
namespace {

constexpr RomFileModelChoice choices[] = {
    {Model::QM71},
    {Model::QM71RTP},
    {Model::QM71K},
    {Model::LX71},
    {Model::LX71ht},
    {Model::LX71RTP},
    {Model::LX75RTP},
    {Model::LX71K},
    {Model::QM71N},
};

std::string bareName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The dialog gives one path per line.
std::vector<std::string> splitPaths(const std::string& text)
{
    std::vector<std::string> paths;
    for (std::string_view line : splitLines(text))
        if (!line.empty())
            paths.emplace_back(line);
    return paths;
}

} // namespace

std::span<const RomFileModelChoice> romFileModelChoices()
{
    return choices;
}

AddRomFilesPresenter::AddRomFilesPresenter(Workspace& ws, Ui& ui)
    : m_ws(ws)
    , m_ui(ui)
    , m_fileCountText(text(TextId::AddRomNoFiles, ws.settings.language))
{
}

AddRomCaptions AddRomFilesPresenter::captions() const
{
    const auto t = [this](TextId id) { return std::string(text(id, m_ws.settings.language)); };
    return {t(TextId::AddRomCaption), t(TextId::AddRomMachine), t(TextId::AddRomAddFileName), t(TextId::AddRomSelect),
        t(TextId::AddRomClear), t(TextId::AddRomAdd), t(TextId::AddRomClose)};
}

void AddRomFilesPresenter::forgetFiles()
{
    m_names.clear();
    m_paths.clear();
    m_addEnabled = false;
    m_fileCountText = text(TextId::AddRomNoFiles, m_ws.settings.language);
}

void AddRomFilesPresenter::chooseModel(int choice)
{
    if (choice < 0 || choice >= static_cast<int>(std::size(choices)) || choice == m_choice)
        return;
    if (m_choice >= 0)
        forgetFiles();
    m_choice = choice;
    // A user who may not write into the installation adds to their own
    // folder, which the table lookup searches first.
    m_targetFolder = m_ws.settings.addedTablesFolder() + std::string(choices[choice].name());
}

void AddRomFilesPresenter::select()
{
    if (m_choice < 0)
        return;
    // A new selection replaces the old one whatever becomes of it: files of
    // an earlier choice must not be added under names they are not listed by.
    forgetFiles();
    FileDialogRequest request;
    request.fileName = "*.bkh";
    request.filter = text(TextId::AddRomFileFilter, m_ws.settings.language);
    request.multiSelect = true;
    const auto chosen = m_ui.chooseOpenFile(request);
    if (!chosen)
        return;

    const std::vector<std::string> paths = splitPaths(*chosen);
    m_fileCountText
        = std::string(text(TextId::AddRomFileCountPrefix, m_ws.settings.language)) + std::to_string(paths.size());
    const std::string_view model = choices[m_choice].name();
    for (const std::string& path : paths) {
        std::string name = bareName(path);
        const bool matches = name.find(model) != std::string::npos;
        m_names.push_back(std::move(name));
        if (!matches) {
            // The names listed so far stay in view, but none of them is added.
            m_ui.showMessage(message(TextId::MsgAddRomModelMismatch), m_ws.settings.language);
            return;
        }
    }
    m_paths = paths;
    m_addEnabled = !m_names.empty();
}

void AddRomFilesPresenter::clear()
{
    forgetFiles();
}

void AddRomFilesPresenter::add()
{
    if (m_targetFolder.empty()) {
        m_ui.showMessage(message(TextId::MsgAddRomChooseModel), m_ws.settings.language);
        return;
    }
    if (!m_addEnabled)
        return;
    std::optional<std::size_t> failed;
    {
        const BusyScope busy(m_ui);
        // Start-up makes the model folders of a writable installation; one
        // removed since is made again, and the user's folder when it is the
        // first table there. A folder that cannot be made shows in the copy's
        // own failure.
        makeFolders(m_targetFolder, 0755, nullptr);
        for (std::size_t i = 0; i < m_paths.size() && !failed; ++i)
            if (!copyFileSafely(m_paths[i], m_targetFolder + "/" + m_names[i], *m_ws.writer))
                failed = i;
    }
    if (failed) {
        // The files before the failing one stay in place; later ones are not tried.
        const std::string failure = std::string(text(TextId::MsgAddRomCopyErrorPrefix, Language::English))
            + std::to_string(*failed) + std::string(text(TextId::MsgAddRomCopyErrorSuffix, Language::English));
        m_ui.showMessage(Message::same(failure), m_ws.settings.language);
        return;
    }
    m_ui.showMessage(message(TextId::MsgAddRomCopyComplete), m_ws.settings.language);
}

void AddRomFilesPresenter::close()
{
    m_choice = -1;
    m_targetFolder.clear();
    forgetFiles();
    m_ws.view.commands.romMenuVisible = false;
    m_closed = true;
}

} // namespace tess::catalogue
