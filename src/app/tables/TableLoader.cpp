#include "app/tables/TableLoader.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/tables/TableLookup.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/tables/TableFill.h"
#include "domain/text/Texts.h"

namespace tess::tables {
namespace {

// One run of the loader over one table file.
class Loader {
public:
    Loader(Workspace& ws, Ui& ui, bool keepValues, TableSource source)
        : m_ws(ws)
        , m_ui(ui)
        , m_keepValues(keepValues)
        , m_source(source)
    {
    }

    LoadResult run();

private:
    void show(const Message& msg) { m_ui.showMessage(msg, m_ws.settings.language); }
    void show(TextId id) { show(message(id)); }

    Workspace& m_ws;
    Ui& m_ui;
    bool m_keepValues;
    TableSource m_source;
    bool m_unsupported = false;
    bool m_error = false;
    bool m_incomplete = false;
};

LoadResult Loader::run()
{
    Document& doc = m_ws.doc;
    const bool special = m_ws.settings.fileVersion.specialFunctions;
    const auto result = [&] {
        if (m_unsupported)
            return special ? LoadResult::UnsupportedSpecial : LoadResult::Unsupported;
        if (m_error)
            return LoadResult::Unreadable;
        return m_incomplete ? LoadResult::Incomplete : LoadResult::Done;
    };

    if (doc.identity.model == UnsupportedModel) {
        show(TextId::TableUnsupportedMachine);
        m_unsupported = true;
        return result();
    }

    std::string path;
    bool substitute = false;
    if (m_source == TableSource::DataSetIdentity) {
        path = findTableFileForCurrent(m_ws, m_ui);
        if (path.empty()) {
            if (!special) {
                const InverterIdentity& id = doc.identity;
                const std::string sought = tableFilePathInInstallation(
                    m_ws.settings.applicationFolder, id.model, id.controlMode, id.romVersion);
                show(sought.empty() ? message(TextId::TableNotFoundForRom)
                                    : withCause(message(TextId::TableNotFoundForRom), fileMissingCause(sought)));
                m_unsupported = true;
                return result();
            }
            InverterIdentity& id = doc.identity;
            const bool unsupportedRom = id.romVersion == UnsupportedRomVersion;
            const std::optional<catalogue::Model> model = catalogue::modelOf(id.model);
            if (unsupportedRom && model)
                id.romVersion = catalogue::newVer(*model, m_ws.settings.fileVersion);
            path = findTableFileOrOlder(m_ws.settings.tableFolders(), id.model, id.controlMode, id.romVersion);
            const Message prefix = message(
                unsupportedRom ? TextId::TableSubstituteUnsupportedRomPrefix : TextId::TableSubstituteNoTablePrefix);
            const Message suffix = message(TextId::TableSubstituteSuffix);
            const std::string code = romCodeOfPath(path);
            show(Message {prefix.ja + code + suffix.ja, prefix.en + code + suffix.en});
            doc.substituteTableShown = true;
            substitute = true;
            // Later reloads (a language switch) show the same table again.
            doc.currentTablePath = path;
        }
    } else {
        path = doc.currentTablePath;
        substitute = path == doc.table.path && doc.table.substitute;
    }

    if (path.empty()) {
        show(TextId::TableNoParameterFile);
        // No record of any table may stand for this identity's.
        doc.table = ParameterTable {};
        return result();
    }

    if (path == NoRomVersionPath) {
        // "No ROM Version." has said why there is no file.
        show(TextId::TableCloseBkhFiles);
        m_error = true;
        return result();
    }

    TableFillRequest request;
    request.applicationFolder = m_ws.settings.applicationFolder;
    request.tablePath = path;
    request.substitute = substitute;
    request.identity = doc.identity;
    // The letter and family of the identity the table is loaded for: the
    // lookup chose the file by them.
    request.controlModeLetter = controlModeLetter(doc.identity.model, doc.identity.controlMode);
    const std::optional<catalogue::Model> model = catalogue::modelOf(doc.identity.model);
    request.family = model ? catalogue::modelFamily(*model) : ModelFamily::QM;
    request.keepValues = m_keepValues;
    TableFill fill = tableFillCache().fill(request, doc.values);
    doc.values = fill.values;
    // The loaded table replaces the document's once its file could be read.
    if (fill.tableRead)
        doc.table = std::move(fill.table);
    for (const Message& notice : fill.notices)
        show(notice);
    m_error = fill.outcome == FillOutcome::Unreadable;
    m_incomplete = fill.outcome == FillOutcome::Incomplete;
    return result();
}

} // namespace

std::optional<std::int32_t> alignCapacityWord(Document& doc)
{
    for (const std::optional<ParameterDef>& def : *doc.table.defs) {
        if (!def || !def->capacityWord)
            continue;
        std::int32_t& word = doc.values[static_cast<std::size_t>(def->slot)];
        if (word == doc.identity.capacity)
            return std::nullopt;
        const std::int32_t before = word;
        word = doc.identity.capacity;
        return before;
    }
    return std::nullopt;
}

LoadResult loadParameterTable(Workspace& ws, Ui& ui, TableValues values, TableSource source)
{
    return Loader(ws, ui, values == TableValues::Stored, source).run();
}

} // namespace tess::tables
