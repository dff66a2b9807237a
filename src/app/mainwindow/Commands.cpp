#include "app/mainwindow/Commands.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/datafile/ValueCheck.h"
#include "app/mainwindow/CompareCommand.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "app/mainwindow/ReceivedImageReport.h"
#include "app/startup/Startup.h"
#include "app/tables/TableLoader.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/TextParse.h"
#include "domain/settings/UserStore.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <optional>

namespace tess {

namespace {

constexpr std::string_view NewFileName = "new.csl";
constexpr std::string_view NoIdentityText = "----";

void show(Workspace& ws, Ui& ui, TextId id)
{
    ui.showMessage(message(id), ws.settings.language);
}

tables::LoadResult loadTableBusy(
    Workspace& ws, Ui& ui, tables::TableValues values, tables::TableSource source = tables::TableSource::Recorded)
{
    const BusyScope busy(ui);
    return tables::loadParameterTable(ws, ui, values, source);
}

FileDialogRequest consoleDataRequest(std::string fileName)
{
    FileDialogRequest request;
    request.filter = std::string(text(TextId::ConsoleDataFilter, Language::English));
    request.fileName = std::move(fileName);
    request.defaultExtension = "csl";
    return request;
}

void markSaved(Workspace& ws)
{
    ws.doc.state.saved = true;
    ws.view.commands.saveItem = false;
    ws.doc.history.markSaved();
}

// A data set opened, made or closed starts without value entries.
void startEditHistory(Workspace& ws)
{
    ws.doc.history.clear(HistoryCleared::Nothing, true);
    showEditHistoryCommands(ws);
}

} // namespace

Message savePrompt(const std::string& fileName)
{
    const TextPair& prefix = textPair(TextId::SavePromptPrefix);
    const TextPair& suffix = textPair(TextId::SavePromptSuffix);
    return Message {std::string(prefix.ja) + fileName + std::string(suffix.ja),
        std::string(prefix.en) + fileName + std::string(suffix.en)};
}

void resetToNoDocument(Workspace& ws)
{
    Document& doc = ws.doc;
    doc.content = GridContent::None;
    doc.comparison.reset();
    doc.conversionReport.reset();
    doc.receivedImage.reset();
    doc.identityTexts = {};
    doc.state.fileName.clear();
    doc.edit = {};
    doc.state.open = false;
    doc.state.saved = true;
    doc.state.compareMode = false;
    // A raw data set ends with its document: the next New must not edit and
    // report as if it had no table.

    CommandStates& c = ws.view.commands;
    applyNoDocumentState(c);
    c.executeMenu = c.optionsMenu = c.languageMenu = c.helpMenu = c.romMenu = true;
    c.newItem = c.openItem = c.newButton = c.openButton = true;

    doc.romIndexShown.reset();
    doc.capacityIndexShown.reset();
    startEditHistory(ws);
    showConversionReportCommand(ws);
}

void showConversionReportCommand(Workspace& ws)
{
    ws.view.commands.conversionReportItem = ws.doc.conversionReport.has_value();
}

void showIdentity(Workspace& ws, Ui& ui)
{
    Document& doc = ws.doc;
    const InverterIdentity& id = doc.identity;
    const auto fail = [&] {
        ui.showMessage(Message::same("INV:" + std::to_string(id.model) + " Cap:" + std::to_string(id.capacity)
                           + " ROM:" + std::to_string(id.romVersion)),
            ws.settings.language);
    };

    const std::optional<catalogue::Model> known = catalogue::modelOf(id.model);
    if (!known)
        return fail();
    const catalogue::Model model = *known;
    doc.identityTexts.model = std::string(catalogue::modelName(model));

    const std::string_view mode = catalogue::controlModeName(model, id.controlMode, ws.settings.language);
    if (mode.empty())
        return fail();
    doc.identityTexts.controlMode = std::string(mode);

    // A ROM version without a capacity list keeps the box as it was.
    if (catalogue::capacityList(model, id.romVersion)) {
        const std::optional<std::string_view> capacity = catalogue::capacityText(model, id.romVersion, id.capacity);
        if (!capacity)
            return fail();
        doc.identityTexts.capacity = std::string(*capacity);
    }

    const std::optional<std::string_view> rom = catalogue::romVersionText(model, id.romVersion);
    if (!rom)
        return fail();
    doc.identityTexts.romVersion = std::string(*rom);
}

void newDocument(Workspace& ws, Ui& ui, SelectionHost& selection)
{
    Document& doc = ws.doc;
    if (doc.state.open) {
        show(ws, ui, TextId::MsgCloseThisFile);
        return;
    }
    doc.identity = InverterIdentity {0, 0, 0, catalogue::newVer(catalogue::Model::QM71, ws.settings.fileVersion)};
    if (selection.runSelectionDialog(ws, ui, catalogue::SelectionPurpose::NewDataSet)
        == catalogue::SelectionOutcome::Cancelled)
        return;
    createNewDataSet(ws, ui);
}

tables::LoadResult createNewDataSet(Workspace& ws, Ui& ui)
{
    Document& doc = ws.doc;
    doc.state.fileName = std::string(NewFileName);
    const tables::LoadResult result = loadTableBusy(ws, ui, tables::TableValues::Defaults);
    if (result == tables::LoadResult::Done) {
        doc.content = GridContent::Table;
        showIdentity(ws, ui);
        doc.state.open = true;
        doc.state.saved = true;
        applyNewDocumentState(ws.view.commands);
        startEditHistory(ws);
        return result;
    }
    // An unreadable or damaged table has said what is wrong with its file.
    if (result != tables::LoadResult::Unreadable && result != tables::LoadResult::Incomplete)
        show(ws, ui, TextId::MsgNotSupportVersion);
    // No document came of it: the grid must not keep half a table that
    // looks like one, nor the zeros of the slots it never reached.
    resetToNoDocument(ws);
    return result;
}

namespace {

// The save prompt for unsaved changes: true when the caller may go on
// (saved, or the user chose not to save).
bool settleUnsavedChanges(Workspace& ws, Ui& ui)
{
    if (ws.doc.state.saved)
        return true;
    switch (ui.ask(savePrompt(ws.doc.state.fileName), message(TextId::SavePromptCaption), Buttons::YesNoCancel,
        ws.settings.language)) {
    case Answer::Cancel:
        return false;
    case Answer::No:
        return true;
    case Answer::Yes:
        saveDocumentAs(ws, ui);
        return ws.doc.state.saved;
    }
    return false;
}

// The data set just read from the document's file, shown as Open shows it.
// Only a file read whole with a whole table is held against its .csv: a
// damaged one says so already and its copy cannot be made alike.
bool showOpenedFile(Workspace& ws, Ui& ui, datafile::ParseStatus read)
{
    const tables::LoadResult shown = showLoadedDataSet(ws, ui, LoadPurpose::Open);
    if (!ws.doc.state.open)
        return false;
    if (read == datafile::ParseStatus::Complete && shown == tables::LoadResult::Done)
        datafile::noticeStaleCompanionCsv(ws, ui, ws.doc.state.fileName);
    ws.doc.usedFiles.push_back(ws.doc.state.fileName);
    return true;
}

// Open's last steps: the file read and shown. False when it could not be
// read or no table can show it.
bool openReadableFile(Workspace& ws, Ui& ui, const std::string& path)
{
    const std::optional<datafile::ParseStatus> read = datafile::readDataSetIntoDocument(ws, ui, path);
    if (!read)
        return false;
    ws.doc.state.fileName = path;
    return showOpenedFile(ws, ui, *read);
}

} // namespace

void openDocument(Workspace& ws, Ui& ui)
{
    Document& doc = ws.doc;
    if (doc.state.open) {
        show(ws, ui, TextId::MsgFileAlreadyOpened);
        return;
    }
    const std::optional<std::string> path = ui.chooseOpenFile(consoleDataRequest("*.csl"));
    if (!path) {
        show(ws, ui, TextId::MsgDataFileNotOpened);
        return;
    }
    openReadableFile(ws, ui, *path);
}

bool openDocumentAt(Workspace& ws, Ui& ui, const std::string& path)
{
    if (!ws.doc.state.open)
        return openReadableFile(ws, ui, path);
    if (!settleUnsavedChanges(ws, ui))
        return false;
    // The file is read before the open data set goes: one that cannot be
    // read leaves it in the window. A comparison ends first, so that the
    // data set read counts as loaded.
    endComparison(ws);
    const std::optional<datafile::ParseStatus> read = datafile::readDataSetIntoDocument(ws, ui, path);
    if (!read)
        return false;
    resetToNoDocument(ws);
    ws.doc.state.fileName = path;
    return showOpenedFile(ws, ui, *read);
}

bool isConsoleDataPath(std::string_view path)
{
    constexpr std::string_view extension = ".csl";
    if (path.size() <= extension.size() || path[path.size() - extension.size() - 1] == '/')
        return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    return std::equal(
        tail.begin(), tail.end(), extension.begin(), [](char a, char b) { return upperAscii(a) == upperAscii(b); });
}

DataSetLoad loadDataSetIntoWindow(
    Workspace& ws, Ui& ui, const std::string& path, LoadPurpose purpose, PartialDataSet partial)
{
    DataSetLoad load;
    load.read = datafile::readDataSetIntoDocument(ws, ui, path);
    if (!load.read || (partial == PartialDataSet::Refused && *load.read != datafile::ParseStatus::Complete))
        return load;
    ws.doc.state.fileName = path;
    load.shown = showLoadedDataSet(ws, ui, purpose);
    return load;
}

tables::LoadResult showLoadedDataSet(Workspace& ws, Ui& ui, LoadPurpose purpose)
{
    Document& doc = ws.doc;
    doc.edit = {};
    doc.conversionReport.reset(); // another data set's
    const tables::LoadResult result
        = loadTableBusy(ws, ui, tables::TableValues::Stored, tables::TableSource::DataSetIdentity);
    // The values are the file's own whatever the table: a damaged table
    // leaves only the rows it did not reach without texts.
    if (result == tables::LoadResult::Done || result == tables::LoadResult::Incomplete) {
        doc.content = GridContent::Table;
        showIdentity(ws, ui);
        doc.romIndexShown = doc.identity.romVersion;
        doc.capacityIndexShown = doc.identity.capacity;
    } else {
        doc.content = GridContent::Raw;
        const std::string none(NoIdentityText);
        doc.identityTexts = {none, none, none, none};
    }
    std::optional<std::int32_t> misalignedCapacityWord;
    if (doc.content == GridContent::Table)
        misalignedCapacityWord = tables::alignCapacityWord(doc);
    // A read reports what converting the drive's image did, the capacity
    // word set just now included; an opened file has no image behind it.
    std::optional<tables::ConversionReport> converted = takeReceivedImageReport(doc, doc.values);
    if (purpose == LoadPurpose::InverterRead)
        doc.conversionReport = std::move(converted);
    showConversionReportCommand(ws);
    doc.state.open = true;
    markSaved(ws);
    applyDocumentOpenedState(ws.view.commands);
    if (doc.content == GridContent::Raw)
        applyRawDataSetOverrides(ws.view.commands);
    startEditHistory(ws);
    if (purpose == LoadPurpose::Open && result == tables::LoadResult::Unsupported) {
        resetToNoDocument(ws);
        return result;
    }
    if (misalignedCapacityWord) {
        // The file says two capacities: its header wins, and the next save
        // stores the two in step.
        if (purpose == LoadPurpose::Open)
            ui.showMessage(message(TextId::DataFileCapacityWordAligned, doc.state.fileName,
                               std::to_string(*misalignedCapacityWord), std::to_string(doc.identity.capacity)),
                ws.settings.language);
        doc.state.saved = false;
        ws.view.commands.saveItem = true;
    }
    if (purpose == LoadPurpose::Open) {
        // A damaged digit or a hand edit reads as a valid number: say so
        // before anyone writes it to a drive.
        if (const std::vector<ValueFailure> failures = datafile::checkDocumentValues(doc); !failures.empty())
            ui.showMessage(datafile::valueFailuresNotice(doc.state.fileName, failures, 20), ws.settings.language);
    }
    return result;
}

datafile::SaveResult saveDocument(Workspace& ws, Ui& ui)
{
    Document& doc = ws.doc;
    if (!doc.state.open || doc.state.saved)
        return datafile::SaveResult::Saved;
    const BusyScope busy(ui);
    const datafile::SaveResult written = datafile::writeDataSet(ws, ui, doc.state.fileName, datafile::SaveMode::Save);
    if (written == datafile::SaveResult::Saved) {
        markSaved(ws);
        doc.usedFiles.push_back(doc.state.fileName);
    }
    return written;
}

void saveDocumentAs(Workspace& ws, Ui& ui)
{
    Document& doc = ws.doc;
    if (!doc.state.open)
        return;
    FileDialogRequest request = consoleDataRequest(doc.state.fileName);
    request.confirmOverwrite = true;
    const std::optional<std::string> path = ui.chooseSaveFile(request);
    if (!path)
        return;
    endComparison(ws); // the .csv copy is the data set's own rows, not a comparison's
    const BusyScope busy(ui);
    doc.state.fileName = *path;
    if (datafile::writeDataSet(ws, ui, doc.state.fileName, datafile::SaveMode::SaveAs) != datafile::SaveResult::Saved)
        return;
    markSaved(ws);
    doc.usedFiles.push_back(doc.state.fileName);
}

void closeDocument(Workspace& ws, Ui& ui)
{
    if (!ws.doc.state.open)
        return;
    if (!settleUnsavedChanges(ws, ui))
        return;
    resetToNoDocument(ws);
}

bool mayCloseMainWindow(Workspace& ws, Ui& ui, UserStore& store)
{
    if (!settleUnsavedChanges(ws, ui))
        return false;
    // The special functions last for one run. Where neither the settings
    // file nor the user store can take that, there is nothing more to do
    // about it on exit.
    clearSpecialFunctionOnExit(ws, store);
    return true;
}

bool changeInverter(Workspace& ws, Ui& ui, SelectionHost& selection)
{
    Document& doc = ws.doc;
    if (!doc.state.open)
        return false;
    const int capacityBefore = doc.identity.capacity;
    if (selection.runSelectionDialog(ws, ui, catalogue::SelectionPurpose::InverterChange)
        == catalogue::SelectionOutcome::Cancelled)
        return false;
    doc.edit = {};
    // The entries name rows of the old table.
    doc.history.clear(HistoryCleared::ByInverterChange, false);
    // What the words meant before, for the report of what the change did.
    // The table is shared, so the copy costs nothing.
    const ParameterTable tableBefore = doc.content == GridContent::Table ? doc.table : ParameterTable {};
    const ParameterSet valuesBefore = doc.values;
    doc.conversionReport.reset();
    const tables::LoadResult result = loadTableBusy(ws, ui, tables::TableValues::Stored);
    if (result != tables::LoadResult::Done) {
        // A table that ended early is no table for the new identity: the
        // grid shows none of it, as when the table cannot be read.
        doc.content = GridContent::None;
        show(ws, ui, TextId::MsgNotSupportVersion);
    } else {
        doc.content = GridContent::Table;
        tables::alignCapacityWord(doc);
        doc.conversionReport = tables::reportConversion(
            tableBefore, doc.table, valuesBefore, doc.values, capacityBefore, doc.identity.capacity);
        showIdentity(ws, ui);
    }
    // The values stay, whatever the table: they are the data set's and now
    // wait to be saved under the new identity.
    doc.state.saved = false;
    ws.view.commands.saveItem = true;
    showEditHistoryCommands(ws);
    showConversionReportCommand(ws);
    return result == tables::LoadResult::Done;
}

void switchLanguage(Workspace& ws, Ui& ui, UserStore& store, Language language)
{
    if (ws.settings.language == language)
        return;
    ws.settings.language = language;
    store.writeInteger(UserValueEigo, language == Language::English ? 1 : 0);
    Document& doc = ws.doc;
    // The table is loaded again (a table changed on disk is read anew): the
    // history starts afresh with it.
    doc.history.clear(HistoryCleared::ByLanguageSwitch, doc.state.saved);
    showEditHistoryCommands(ws);
    // A raw data set has no table whose texts could change; loading again
    // would only repeat why there is none.
    if (!doc.state.open || doc.content == GridContent::Raw)
        return;
    // A damaged table has said where it ended; its rows are as far as it came.
    if (const tables::LoadResult result = loadTableBusy(ws, ui, tables::TableValues::Stored);
        result == tables::LoadResult::Done || result == tables::LoadResult::Incomplete)
        showIdentity(ws, ui);
    else
        show(ws, ui, TextId::MsgNotSupportVersion);
}

void statusBarMouseDown(Workspace& ws, bool leftButton, bool ctrlHeld)
{
    if (leftButton && ctrlHeld)
        ws.view.commands.romMenuVisible = true;
}

} // namespace tess
