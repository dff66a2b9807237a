#include "app/print/CommissioningReportPresenter.h"

#include "app/comm/TransferHistory.h"
#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/GridFilter.h"
#include "domain/common/FileIo.h"
#include "domain/common/Sha256.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <vector>

namespace tess::print {
namespace {

std::string textIn(TextId id, Language language)
{
    return std::string(text(id, language));
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The identity's five characters may carry a letter the model's name has
// not: either names the other's start.
bool sameModel(const std::string& a, const std::string& b)
{
    return !a.empty() && !b.empty() && (a.starts_with(b) || b.starts_with(a));
}

// "2026-12-11 19:42:05 +0900" to the minute.
std::string minuteOf(const journal::JournalHeader& header)
{
    const std::string& time = header.localTime.empty() ? header.utcTime : header.localTime;
    return time.size() >= 16 ? time.substr(0, 10) + " " + time.substr(11, 5) : time;
}

std::string verifyText(const journal::JournalSummary& s, Language language)
{
    if (!s.differences.empty())
        return message(TextId::ReportVerifyDiffers, std::to_string(s.differences.size())).in(language);
    const bool reachedTheEnd = s.end == journal::JournalEnd::Done || s.end == journal::JournalEnd::WordsRefused;
    if (s.header.verify && reachedTheEnd)
        return textIn(TextId::ReportVerifyMatched, language);
    return textIn(TextId::ReportVerifyNotDone, language);
}

// The newest write whose journal names a drive of the data set's model and
// ROM version.
std::optional<ReportTransaction> lastWrite(const Workspace& ws, Language language)
{
    const IdentityTexts& identity = ws.doc.identityTexts;
    for (const comm::HistoryEntry& entry : comm::readHistory(ws.settings.journalFolder)) {
        const journal::JournalSummary& s = entry.summary;
        if (!s.hasHeader || s.header.transaction != journal::JournalTransaction::Write)
            continue;
        if (!sameModel(s.header.drive.model, identity.model) || s.header.drive.romCode != identity.romVersion)
            continue;
        ReportTransaction t;
        t.time = minuteOf(s.header);
        t.outcome = comm::outcomeText(s);
        t.written = s.taken;
        t.planned = s.planned > 0 ? s.planned : s.announced;
        for (const journal::JournalWord& word : s.words)
            if (word.outcome == "refused")
                t.refusedCodes.push_back(word.code);
        t.verify = verifyText(s, language);
        return t;
    }
    return std::nullopt;
}

} // namespace

ReportFields rememberedReportFields(UserStore& store)
{
    ReportFields fields;
    fields.site = store.readString(UserValueReportSite);
    fields.tag = store.readString(UserValueReportTag);
    fields.engineer = store.readString(UserValueReportEngineer);
    return fields;
}

void rememberReportFields(UserStore& store, const ReportFields& fields)
{
    store.writeString(UserValueReportSite, fields.site);
    store.writeString(UserValueReportTag, fields.tag);
    store.writeString(UserValueReportEngineer, fields.engineer);
}

std::string reportTimeText(std::time_t when)
{
    std::tm local {};
    ::localtime_r(&when, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &local);
    return buffer;
}

std::string reportPathFor(const std::string& dataFile)
{
    if (dataFile.empty())
        return {};
    const std::size_t slash = dataFile.rfind('/');
    const std::size_t dot = dataFile.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? dataFile.substr(0, dot) : dataFile) + ".pdf";
}

CommissioningReportInput commissioningReportInput(
    const Workspace& ws, const ReportFields& fields, Language language, const std::string& dateTime)
{
    const Document& doc = ws.doc;
    CommissioningReportInput in;
    in.language = language;
    in.site = fields.site;
    in.tag = fields.tag;
    in.engineer = fields.engineer;
    in.dateTime = dateTime;
    in.programVersion = textIn(TextId::ApplicationTitle, language) + " " + TESS_VERSION_TEXT;
    in.fileName = baseName(doc.state.fileName);
    if (std::string bytes; !doc.state.fileName.empty() && readFileBytes(doc.state.fileName, bytes))
        in.fileSha256 = sha256Hex(bytes);
    in.model = doc.identityTexts.model;
    in.controlMode = doc.identityTexts.controlMode;
    in.capacity = doc.identityTexts.capacity;
    in.romVersion = doc.identityTexts.romVersion;

    // "Changed from default" as the grid marks it; the texts as the grid
    // shows them, in the report's language.
    const GridFilterResult marks = filterGridRows(doc, GridFilterSettings {});
    in.changedCount = marks.changedCount;
    in.parameterCount = marks.shownParameters;
    in.allListed = fields.listAll;
    const GridSource grid = gridSource(doc, language);
    const int lastRow = gridRowCount(grid) - 1;

    std::vector<bool> listed(static_cast<std::size_t>(std::max(lastRow + 1, 0)), false);
    const auto rowOf = [&](int row) {
        listed[static_cast<std::size_t>(row)] = true;
        return ReportRow {cellText(grid, row, ColCode), cellText(grid, row, ColName), cellText(grid, row, ColValue),
            cellText(grid, row, ColDefault), cellText(grid, row, ColRange)};
    };
    const auto wanted = [&](int row) {
        if (row < 1 || row > lastRow || listed[static_cast<std::size_t>(row)])
            return false;
        if (cellText(grid, row, ColCode).empty())
            return false;
        return fields.listAll || marks.changed[static_cast<std::size_t>(row)];
    };
    for (std::size_t a = 0; a < AreaCount; ++a) {
        ReportGroup group;
        group.area = std::string(dataAreaNames[a]);
        for (int w = doc.table.areaFirst[a]; w <= doc.table.areaLast[a]; ++w)
            if (wanted(w + 1))
                group.rows.push_back(rowOf(w + 1));
        if (!group.rows.empty())
            in.groups.push_back(std::move(group));
    }
    // A parameter no area names is still listed, after the areas.
    ReportGroup rest;
    rest.area = "-";
    for (int row = 1; row <= lastRow; ++row)
        if (wanted(row))
            rest.rows.push_back(rowOf(row));
    if (!rest.rows.empty())
        in.groups.push_back(std::move(rest));

    in.transaction = lastWrite(ws, language);
    return in;
}

CommissioningReportPresenter::CommissioningReportPresenter(Workspace& ws, UserStore& store)
    : m_ws(ws)
    , m_store(store)
    , m_fields(rememberedReportFields(store))
    , m_output(reportPathFor(ws.doc.state.fileName))
{
}

ReportDialogCaptions CommissioningReportPresenter::captions() const
{
    const Language lang = m_ws.settings.language;
    ReportDialogCaptions c;
    c.caption = textIn(TextId::ReportTitle, lang);
    c.siteLabel = textIn(TextId::ReportSite, lang);
    c.tagLabel = textIn(TextId::ReportTag, lang);
    c.engineerLabel = textIn(TextId::ReportEngineer, lang);
    c.listAll = textIn(TextId::ReportFormListAll, lang);
    c.outputLabel = textIn(TextId::ReportFormOutput, lang);
    c.browse = textIn(TextId::ReportFormBrowse, lang);
    c.save = textIn(TextId::ReportFormSave, lang);
    c.print = textIn(TextId::ReportFormPrint, lang);
    c.close = textIn(TextId::ReportFormClose, lang);
    return c;
}

bool CommissioningReportPresenter::confirmReady(Ui& ui, bool toFile) const
{
    const Document& doc = m_ws.doc;
    const Language lang = m_ws.settings.language;
    if (!doc.state.open || doc.content != GridContent::Table) {
        ui.showMessage(message(TextId::ReportNeedsTable), lang);
        return false;
    }
    if (!doc.state.saved || doc.state.fileName.empty()) {
        ui.showMessage(message(TextId::ReportSaveFirst), lang);
        return false;
    }
    if (toFile && m_output.empty()) {
        ui.showMessage(message(TextId::ReportNoOutput), lang);
        return false;
    }
    return true;
}

ReportFileOutcome writeReportFile(const Workspace& ws, Ui& ui, const PdfCanvasMaker& makeCanvas,
    const std::string& path, const CommissioningReportInput& input)
{
    PrintOutcome drawn;
    IoError error;
    const bool replaced = replaceFileMadeBy(
        *ws.writer, path,
        [&](const std::string& temporary) {
            // The canvas is gone, and its file closed, before the file is
            // put in place.
            const std::unique_ptr<PrintCanvas> canvas = makeCanvas(temporary);
            drawn = printCommissioningReport(*canvas, input);
            return drawn.status.ok;
        },
        &error);
    if (replaced)
        return ReportFileOutcome {ReportResult::Written, drawn.pages};
    // A failing device names only the temporary file: the user is told the
    // target.
    const Message cause
        = drawn.status.ok ? fileReasonCause(error.path.empty() ? path : error.path, error.detail) : Message::same(path);
    ui.showMessage(withCause(message(TextId::ReportFailed), cause), ws.settings.language);
    return ReportFileOutcome {ReportResult::Failed, drawn.pages};
}

ReportResult CommissioningReportPresenter::makeFile(
    const PdfCanvasMaker& makeCanvas, Ui& ui, const std::string& dateTime)
{
    rememberReportFields(m_store, m_fields);
    const ReportFileOutcome outcome = writeReportFile(
        m_ws, ui, makeCanvas, m_output, commissioningReportInput(m_ws, m_fields, m_ws.settings.language, dateTime));
    m_lastPageCount = outcome.pages;
    return outcome.result;
}

ReportResult CommissioningReportPresenter::make(PrintCanvas& canvas, Ui& ui, const std::string& dateTime)
{
    rememberReportFields(m_store, m_fields);
    const Language lang = m_ws.settings.language;
    const PrintOutcome outcome
        = printCommissioningReport(canvas, commissioningReportInput(m_ws, m_fields, lang, dateTime));
    m_lastPageCount = outcome.pages;
    if (outcome.status.ok)
        return ReportResult::Written;
    Message failure = message(TextId::ReportFailed);
    if (!outcome.status.detail.empty())
        failure = withCause(failure, Message::same(outcome.status.detail));
    ui.showMessage(failure, lang);
    return ReportResult::Failed;
}

} // namespace tess::print
