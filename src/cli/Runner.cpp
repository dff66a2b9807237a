#include "cli/Runner.h"

#include "app/catalogue/SelectionScript.h"
#include "app/comm/SerialTransferPresenter.h"
#include "app/comm/TransferHistory.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/datafile/ValueCheck.h"
#include "app/mainwindow/CellEditing.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/GridFilter.h"
#include "app/print/CommissioningReportPresenter.h"
#include "app/tables/DataSetDiff.h"
#include "app/tables/TableLoader.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleUi.h"
#include "cli/DriveTransfer.h"
#include "cli/ProgressLine.h"
#include "cli/TextTable.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/comm/SystemSerialPort.h"
#include "domain/common/Clock.h"
#include "domain/common/FileIo.h"
#include "domain/common/Sha256.h"
#include "domain/common/TextParse.h"
#include "domain/datafile/CompanionCsv.h"
#include "domain/datafile/DataSetFormat.h"
#include "domain/journal/FlatJson.h"
#include "domain/journal/TransferJournal.h"
#include "domain/settings/FileVersionSettings.h"
#include "domain/settings/UserStore.h"
#include "domain/tables/ConversionReportCsv.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tess::cli {
namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string joined(std::span<const std::string_view> items)
{
    std::string text;
    for (const std::string_view item : items)
        text += (text.empty() ? "" : ", ") + std::string(item);
    return text;
}

// The writer's result as the exit status: "nothing written" only when it is so.
int exitStatusOfWrite(datafile::SaveResult written)
{
    switch (written) {
    case datafile::SaveResult::Saved:
        return ExitDone;
    case datafile::SaveResult::CsvNotSaved:
        return ExitCsvNotSaved;
    case datafile::SaveResult::NothingWritten:
        break;
    }
    return ExitRefused;
}

// Of two statuses of a run over several files the graver: any failure
// before a conversion whose values lie outside their range, and that before
// done.
int graverStatus(int a, int b)
{
    const auto rank = [](int status) { return status == ExitDone ? 0 : status == ExitOutOfRange ? 1 : 2 + status; };
    return rank(a) >= rank(b) ? a : b;
}

// Where convert writes a data file: -o, or NAME<suffix>.csl beside NAME.csl.
std::string convertedPath(const std::string& path, const Options& options)
{
    if (!options.output.empty())
        return options.output;
    std::string_view stem = path;
    constexpr std::string_view Extension = ".csl";
    if (stem.size() > Extension.size() && equalsIgnoringCase(stem.substr(stem.size() - Extension.size()), Extension))
        stem.remove_suffix(Extension.size());
    return std::string(stem) + options.suffix + std::string(Extension);
}

std::string modelNames()
{
    std::array<std::string_view, catalogue::ModelCount> names {};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = catalogue::modelName(catalogue::allModels[i]);
    return joined(names);
}

// A capacity given by number: digits that are no entry of any capacity
// list ("1122" is a capacity text, "3" an index).
std::optional<int> capacityIndexOf(std::string_view text)
{
    if (text.empty() || text.size() > 3
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    using catalogue::CapacityListId;
    for (const CapacityListId list : {CapacityListId::A, CapacityListId::B, CapacityListId::C, CapacityListId::D,
             CapacityListId::E, CapacityListId::F, CapacityListId::G, CapacityListId::H, CapacityListId::K}) {
        const auto entries = catalogue::capacityListEntries(list);
        if (std::find(entries.begin(), entries.end(), text) != entries.end())
            return std::nullopt;
    }
    return parseInteger(text);
}

// The index of the data area a name names, in any letter case, "Fund" also
// for "Fund.".
std::optional<int> areaIndexNamed(std::string_view asked)
{
    const auto area = std::find_if(dataAreaNames.begin(), dataAreaNames.end(), [&](std::string_view name) {
        return equalsIgnoringCase(name, asked) || (name == "Fund." && equalsIgnoringCase(asked, "Fund"));
    });
    if (area == dataAreaNames.end())
        return std::nullopt;
    return static_cast<int>(area - dataAreaNames.begin());
}

// The communication dialog of one command, without a window: made for the
// kind of transfer, on the port the command line names.
class DriveDialog {
public:
    DriveDialog(
        Workspace& ws, Ui& ui, const std::string& portName, comm::TransferKind kind, const std::string& workFolder)
        : m_presenter(onPort(ws, portName), ui, m_port, systemClock(), kind, workFolder)
    {
    }

    comm::SerialTransferPresenter& presenter() { return m_presenter; }

private:
    // The dialog takes its port from the workspace when made.
    static Workspace& onPort(Workspace& ws, const std::string& portName)
    {
        ws.settings.portName = portName;
        return ws;
    }

    comm::SystemSerialPort m_port;
    comm::SerialTransferPresenter m_presenter;
};

// A transaction's exit status: done, stopped on an interrupt, or failed.
int exitStatusOf(const TransferOutcome& outcome, int failed)
{
    if (outcome.result == 0)
        return ExitDone;
    return outcome.cancelled ? ExitCancelled : failed;
}

// One run of a command on a workspace started as the window starts.
class Session {
public:
    Session(const Options& options, const CliEnvironment& env, std::ostream& out, std::ostream& err)
        : m_options(options)
        , m_env(env)
        , m_out(out)
        , m_err(err)
        , m_ui(err)
        , m_ws(std::make_unique<Workspace>())
    {
    }

    int run()
    {
        if (m_options.command == Command::Report && !m_env.reportCanvas) {
            say(message(TextId::CliReportUnavailable));
            return ExitUsage;
        }
        if (!start())
            return refused();
        switch (m_options.command) {
        case Command::New:
            return runNew();
        case Command::Show:
            return runEachFile(&Session::runShow);
        case Command::Set:
            return runEachFile(&Session::runSet);
        case Command::Export:
            return runEachFile(&Session::runExport);
        case Command::Read:
            return runRead();
        case Command::Write:
            return runWrite();
        case Command::CompareDrive:
            return runCompareDrive();
        case Command::Convert:
            return runConvert();
        case Command::History:
            return runHistory();
        case Command::Diff:
            return runDiff();
        case Command::Report:
            return runReport(m_options.dataFiles.front());
        case Command::None:
            break;
        }
        return ExitUsage;
    }

private:
    void say(const Message& message) { m_ui.showMessage(message, m_ws->settings.language); }
    // The status of a refusal before any work: a comparison keeps 1 for a
    // drive or data set that differs.
    int refused() const
    {
        switch (m_options.command) {
        case Command::CompareDrive:
            return ExitTransferFailed;
        case Command::Diff:
            return ExitDiffTrouble;
        default:
            return ExitRefused;
        }
    }

    bool start();
    bool refuseExisting(const std::string& output);
    bool loadDataSet(const std::string& path, bool mustBeComplete);
    bool loadTabledDataSet(const std::string& path);
    std::optional<int> areaOption(std::string_view name);
    TransferOutcome transact(comm::SerialTransferPresenter& presenter);
    int runEachFile(int (Session::*job)(const std::string& path));
    int runNew();
    bool selectionTaken(const catalogue::ScriptedSelection& selection, catalogue::Model model,
        const catalogue::SelectionChoice& choice, const std::string& capacityAsked);
    std::size_t tellNotAllowed(const std::string& path);
    int runShow(const std::string& path);
    int runSet(const std::string& path);
    int runExport(const std::string& path);
    int runRead();
    int runWrite();
    int runCompareDrive();
    int runConvert();
    int runHistory();
    int runDiff();
    void writeDiff(const tables::DataSetDiff& diff, const std::string& rightTitle);
    std::string identityLine() const;
    int runReport(const std::string& path);
    std::optional<comm::HistoryEntry> writeToResume();
    void tellInterruptedWrite();
    int convertOne(const std::string& path, std::optional<tables::ConversionReport>& report);

    const Options& m_options;
    const CliEnvironment& m_env;
    std::ostream& m_out;
    std::ostream& m_err;
    ConsoleUi m_ui;
    std::unique_ptr<Workspace> m_ws;
    bool m_severalFiles = false;
    bool m_tableShown = false;
    // The last data set loaded was read in part: the file cut short or its
    // table damaged.
    bool m_inputDamaged = false;
    // A command that wrote what it meant to from damaged input says so.
    int damagedOr(int status) const { return status == ExitDone && m_inputDamaged ? ExitInputDamaged : status; }
};

// Each data file is a transaction of its own on the workspace as start-up
// left it: what one file did or failed to do reaches no other. With several
// files each message is led by the file's name, and the status is the
// highest of the files'.
int Session::runEachFile(int (Session::*job)(const std::string& path))
{
    const std::vector<std::string>& files = m_options.dataFiles;
    if (files.size() == 1)
        return (this->*job)(files.front());
    m_severalFiles = true;
    const Workspace started = *m_ws;
    int worst = ExitDone;
    for (const std::string& file : files) {
        *m_ws = started;
        m_ui.setFile(file);
        worst = std::max(worst, (this->*job)(file));
    }
    m_ui.setFile({});
    return worst;
}

bool Session::start()
{
    StartupEnvironment startup = m_env.startup;
    std::optional<int> eigo = m_env.storedEigo;
    if (m_options.language)
        eigo = *m_options.language == Language::English ? 1 : 0;
    m_ws->settings.language = chooseStartupLanguage(eigo, startup);
    if (m_env.writer)
        m_ws->writer = m_env.writer;

    if (!m_options.installFolder.empty()) {
        std::string folder = m_options.installFolder;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        if (!isDirectory(folder)) {
            say(message(TextId::CliNoInstallation, folder));
            return false;
        }
        // The program folder is the executable's: take the program as lying
        // in the named folder.
        startup.executablePath = (folder == "/" ? "" : folder) + "/tessaline-cli";
    }
    // Start-up makes the model folders in the program folder; a folder
    // without settings is no installation and is left alone.
    const std::string folder = folderOfExecutable(startup.executablePath);
    if (!fileExists(folder + FileVersionIniName)) {
        say(message(TextId::CliNoInstallation, folder.empty() ? "." : folder));
        return false;
    }

    // The window's own record of the user's choices is read, never written.
    MemoryUserStore store;
    if (eigo)
        store.writeInteger(UserValueEigo, *eigo);
    // What start-up shows is for the window's user (the "View" flag).
    m_ui.setMuted(true);
    startUp(*m_ws, m_ui, store, startup, m_env.access);
    m_ui.setMuted(false);
    // Lines of the settings file that could not be used are named for every
    // command, before it tells what came of it.
    if (const std::optional<Message> notice = settingsDamageNotice(*m_ws))
        say(*notice);
    m_ws->settings.journalFolder = m_env.journalFolder;
    m_ws->settings.runtimeFolder = m_env.runtimeFolder;
    return true;
}

// The save dialog asks before it replaces a file; a script says so, for
// the .csv copy as much as for the data file.
bool Session::refuseExisting(const std::string& output)
{
    if (m_options.force)
        return false;
    for (const std::string& file : {output, datafile::companionCsvPath(output)})
        if (fileExists(file)) {
            say(message(TextId::CliFileExists, file));
            return true;
        }
    return false;
}

// Whether the scripted selection stored the inverter asked for. Some
// refusals of the dialog are silent (an entry that is not in a list cannot be
// picked at all): then says what was not offered.
bool Session::selectionTaken(const catalogue::ScriptedSelection& selection, catalogue::Model model,
    const catalogue::SelectionChoice& choice, const std::string& capacityAsked)
{
    if (selection.lastOutcome == catalogue::ScriptOutcome::Accepted)
        return true;
    if (selection.lastOutcome == catalogue::ScriptOutcome::NotOffered) {
        std::string asked = std::string(catalogue::modelName(model)) + ", " + std::to_string(choice.controlMode) + ", "
            + capacityAsked;
        if (!choice.romCode.empty())
            asked += ", " + choice.romCode;
        say(message(TextId::CliNotOffered, asked));
    }
    return false;
}

int Session::runNew()
{
    Workspace& ws = *m_ws;
    const Options& o = m_options;
    const std::optional<catalogue::Model> model = modelNamed(o.model);
    if (!model) {
        say(message(TextId::CliUnknownModel, o.model, modelNames()));
        return ExitRefused;
    }
    if (refuseExisting(o.output))
        return ExitRefused;
    catalogue::SelectionChoice choice;
    choice.model = *model;
    choice.controlMode = o.controlMode.value_or(catalogue::defaultControlMode(*model));
    if (const std::optional<int> index = capacityIndexOf(o.capacity))
        choice.capacityIndex = *index;
    else
        choice.capacityText = o.capacity;
    choice.romCode = o.romCode;

    // New itself, with the selection dialog driven by the choice: only the
    // inverter asked for goes on to a data set, however the dialog ended.
    catalogue::ScriptedSelection selection;
    selection.choices.push_back(choice);
    selection.cancelUnlessAccepted = true;
    newDocument(ws, m_ui, selection);
    if (!selectionTaken(selection, *model, choice, o.capacity))
        return ExitRefused;
    if (!ws.doc.state.open) // the table could not be loaded; New has said why
        return ExitRefused;
    ws.doc.state.fileName = o.output;
    // The ROM versions New offers come from the settings file, so a line of
    // it that could not be used (named at start) makes the result suspect.
    m_inputDamaged = ws.doc.table.fileDamaged || !ws.settings.fileVersion.unusableLines.empty();
    return damagedOr(exitStatusOfWrite(datafile::writeDataSet(ws, m_ui, o.output, datafile::SaveMode::SaveAs)));
}

// The data set into the workspace as a read from the inverter brings it: a
// data set that no table can show comes as raw rows rather than not at all.
// With mustBeComplete a file that could be read only in part is refused, so
// that a command never writes what it did not fully read.
bool Session::loadDataSet(const std::string& path, bool mustBeComplete)
{
    m_inputDamaged = false;
    const DataSetLoad load = loadDataSetIntoWindow(
        *m_ws, m_ui, path, LoadPurpose::InverterRead, mustBeComplete ? PartialDataSet::Refused : PartialDataSet::Shown);
    if (!load.read)
        return false;
    m_inputDamaged = *load.read != datafile::ParseStatus::Complete;
    // Read whole, such a header still shows the values raw; the status and the
    // message keep that from passing as a sound file.
    const InverterIdentity& identity = m_ws->doc.identity;
    if (datafile::identityHasNegativeIndex(identity)) {
        say(message(TextId::CliIdentityDamaged, path,
            std::to_string(identity.model) + " " + std::to_string(identity.controlMode) + " "
                + std::to_string(identity.capacity) + " " + std::to_string(identity.romVersion)));
        m_inputDamaged = true;
    }
    if (!load.shown) {
        say(message(TextId::CliDataSetDamaged, path));
        return false;
    }
    // The table's message has named the file and the line where it ends.
    if (load.shown == tables::LoadResult::Incomplete && mustBeComplete) {
        say(message(TextId::CliTableIncomplete));
        return false;
    }
    m_inputDamaged = m_inputDamaged || load.shown == tables::LoadResult::Incomplete || m_ws->doc.table.fileDamaged;
    if (!m_inputDamaged && load.shown == tables::LoadResult::Done)
        datafile::noticeStaleCompanionCsv(*m_ws, m_ui, path);
    return true;
}

// The data set as a command that writes or compares needs it: read
// completely, with the table that gives its codes and areas.
bool Session::loadTabledDataSet(const std::string& path)
{
    if (!loadDataSet(path, true))
        return false;
    if (m_ws->doc.content == GridContent::Raw) {
        say(message(TextId::CliRawDataSet));
        return false;
    }
    return true;
}

// Every value of the loaded data set that its table row would not take, on
// the error stream; how many.
std::size_t Session::tellNotAllowed(const std::string& path)
{
    const std::vector<ValueFailure> failures = datafile::checkDocumentValues(m_ws->doc);
    if (!failures.empty())
        say(datafile::valueFailuresNotice(path, failures, failures.size()));
    return failures.size();
}

// The identity boxes above the grid, on one line.
std::string Session::identityLine() const
{
    const Language language = m_ws->settings.language;
    const IdentityTexts& boxes = m_ws->doc.identityTexts;
    return std::string(text(TextId::LabelMachine, language)) + ' ' + boxes.model + "  "
        + std::string(text(TextId::LabelControlMode, language)) + ' ' + boxes.controlMode + "  "
        + std::string(text(TextId::LabelCapVolt, language)) + ' ' + boxes.capacity + "  "
        + std::string(text(TextId::LabelRomVersion, language)) + ' ' + boxes.romVersion;
}

int Session::runShow(const std::string& path)
{
    if (!loadDataSet(path, false))
        return ExitRefused;
    const std::size_t notAllowed = tellNotAllowed(path);
    const Workspace& ws = *m_ws;
    const Document& doc = ws.doc;
    const Options& o = m_options;

    // Areas and defaults are the table's: a data set shown raw has neither.
    if ((!o.area.empty() || o.changedRows) && doc.content == GridContent::Raw) {
        say(message(TextId::CliRawDataSet));
        return ExitRefused;
    }
    std::string prefix;
    if (!o.area.empty()) {
        const std::optional<int> area = areaOption(o.area);
        if (!area)
            return ExitRefused;
        prefix = std::string(dataAreaNames[static_cast<std::size_t>(*area)]) + "-";
    }
    GridFilterSettings changedOnly;
    changedOnly.changedOnly = true;
    const auto changed
        = o.changedRows ? filterGridRows(doc, changedOnly).changed : decltype(GridFilterResult::changed) {};

    // Piped, several files' rows are told apart by the file name before each.
    const bool named = m_severalFiles && (o.plain || !m_env.outIsTerminal);
    const GridSource grid = gridSource(ws);
    std::vector<TextRow> rows;
    const auto add = [&](int r) {
        TextRow& row = rows.emplace_back();
        if (named)
            row.push_back(path);
        for (int c = 0; c < GridColumnCount; ++c)
            if (!o.plain || c == ColCode || c == ColName || c == ColValue)
                row.push_back(cellText(grid, r, c));
    };
    if (o.plain) {
        // The identity too: a data set moved to another ROM version or
        // capacity must not read as the same.
        rows.push_back(named ? TextRow {path, identityLine()} : TextRow {identityLine()});
    } else {
        add(0);
    }
    for (int r = 1; r < gridRowCount(grid); ++r) {
        const std::string code = cellText(grid, r, ColCode);
        if (!code.empty() && startsWithIgnoringCase(code, prefix)
            && (!o.changedRows || changed[static_cast<std::size_t>(r)]))
            add(r);
    }

    if (o.plain || !m_env.outIsTerminal)
        writeTabSeparated(m_out, rows);
    else {
        // For the eye, the file name and identity boxes above the grid; a
        // blank line between the tables of several files.
        if (m_tableShown)
            m_out << '\n';
        m_out << text(TextId::LabelFileName, ws.settings.language) << ' ' << doc.state.fileName << '\n';
        m_out << identityLine() << "\n\n";
        writeAligned(m_out, rows);
    }
    m_out.flush();
    m_tableShown = true;
    // Shown in part, the rows printed must not read as the whole data set.
    if (m_inputDamaged)
        return ExitInputDamaged;
    return o.check && notAllowed > 0 ? ExitOutOfRange : ExitDone;
}

int Session::runSet(const std::string& path)
{
    if (!loadTabledDataSet(path))
        return ExitRefused;
    Workspace& ws = *m_ws;

    bool refused = false;
    for (const Assignment& entry : m_options.assignments) {
        m_ui.setContext(entry.code + "=" + entry.value);
        int row = 0;
        for (int r = 1; r <= SlotCount && row == 0; ++r)
            if (equalsIgnoringCase(gridText(ws, r, ColCode), entry.code))
                row = r;
        if (row == 0) {
            say(message(TextId::CliUnknownCode, entry.code));
            refused = true;
            continue;
        }
        const CellCommitResult result = commitCellEdit(ws, m_ui, row, entry.value);
        if (!result.handled || (result.outcome != CellOutcome::Accepted && result.outcome != CellOutcome::Unchanged))
            refused = true;
    }
    m_ui.setContext({});
    if (refused) {
        say(message(TextId::CliNothingWritten));
        return ExitRefused;
    }
    return damagedOr(exitStatusOfWrite(saveDocument(ws, m_ui)));
}

int Session::runExport(const std::string& path)
{
    if (!loadDataSet(path, true))
        return ExitRefused;
    tellNotAllowed(path);
    const Workspace& ws = *m_ws;
    const std::string target = m_options.output.empty() ? datafile::companionCsvPath(path) : m_options.output;
    if (sameFile(target, path)) {
        say(message(TextId::CliSameFile, target));
        return ExitRefused;
    }
    IoError error;
    if (!ws.writer->replaceFile(target, datafile::formatCompanionCsv(ws.doc.identity, gridSource(ws)), &error)) {
        say(withCause(message(TextId::CliCannotWrite, target), fileReasonCause(error.path, error.detail)));
        return ExitRefused;
    }
    // Written from a file that was not sound, the copy must not pass as one.
    return m_inputDamaged ? ExitInputDamaged : ExitDone;
}

// A data area named on the command line; nothing, with the names there
// are, for a name that is none.
std::optional<int> Session::areaOption(std::string_view name)
{
    const std::optional<int> area = areaIndexNamed(name);
    if (!area)
        say(message(TextId::CliUnknownArea, name, joined(dataAreaNames)));
    return area;
}

TransferOutcome Session::transact(comm::SerialTransferPresenter& presenter)
{
    std::optional<ProgressLine> progress;
    if (m_env.errIsTerminal)
        progress.emplace(m_err, m_env.errColumns);
    return runDriveTransaction(presenter, m_ui, m_options.acceptIdentity, progress ? &*progress : nullptr);
}

int Session::runRead()
{
    const Options& o = m_options;
    if (refuseExisting(o.output))
        return ExitRefused;
    DriveDialog dialog(*m_ws, m_ui, o.port, comm::TransferKind::Read, m_env.workFolder);
    comm::SerialTransferPresenter& read = dialog.presenter();
    read.setReadFilePath(o.output);

    const TransferOutcome outcome = transact(read);
    if (outcome.result == comm::ReadCsvNotSaved)
        return ExitCsvNotSaved;
    // The file is named once the read has come through and is being saved.
    return exitStatusOf(outcome, read.fileName().empty() ? ExitTransferFailed : ExitRefused);
}

int Session::runWrite()
{
    const Options& o = m_options;
    const std::optional<comm::HistoryEntry> resumed = writeToResume();
    if (o.resume && !resumed)
        return ExitRefused;
    const journal::JournalHeader* earlier = resumed ? &resumed->summary.header : nullptr;
    if (!loadTabledDataSet(earlier ? earlier->dataFile : o.dataFiles.front()))
        return ExitRefused;
    const std::string& fromArea = earlier ? earlier->fromArea : o.fromArea;
    const std::string& toArea = earlier ? earlier->toArea : o.toArea;
    const std::optional<int> from = fromArea.empty() ? comm::AreaFund : areaOption(fromArea);
    const std::optional<int> to = toArea.empty() ? comm::AreaP : areaOption(toArea);
    if (!from || !to)
        return ExitRefused;
    if (!o.sendNotAllowed && refuseWordsNotAllowed(m_ws->doc, m_ui, m_ws->settings.language, *from, *to))
        return ExitRefused;
    m_ui.setSendNotAllowed(o.sendNotAllowed);
    if (!earlier)
        tellInterruptedWrite();

    DriveDialog dialog(
        *m_ws, m_ui, earlier && o.port.empty() ? earlier->port : o.port, comm::TransferKind::Write, m_env.workFolder);
    comm::SerialTransferPresenter& write = dialog.presenter();
    write.setStartArea(*from);
    write.setEndArea(*to);
    // A resumed write sends what the drive does not hold yet, with the
    // choices the interrupted one had.
    write.setWritePermitted(earlier ? earlier->permitWrite : o.permitWrite);
    write.setChangedOnly(earlier || o.changedOnly);
    write.setVerifyAfterWrite(earlier ? earlier->verify : o.verify);

    const TransferOutcome outcome = transact(write);
    if (resumed && (outcome.result == 0 || outcome.result == comm::WriteWordsRefused)
        && journal::TransferJournal::markResumed(resumed->path, write.journalPath(), comm::journalTimesNow().utc))
        say(message(TextId::ResumeMarked, resumed->path));
    if (outcome.result == comm::WriteWordsRefused)
        return ExitWordsRefused;
    // Areas in the wrong order are refused before the port is opened.
    return exitStatusOf(outcome, write.writeRanges().empty() ? ExitRefused : ExitTransferFailed);
}

// With --resume: the interrupted write to finish (of the port given), its
// file unchanged since; nothing, said why, when there is none.
std::optional<comm::HistoryEntry> Session::writeToResume()
{
    const Options& o = m_options;
    if (!o.resume)
        return std::nullopt;
    comm::ResumeTarget target;
    if (!o.port.empty())
        target.device = comm::serialDevicePath(o.port).value_or(o.port);
    std::optional<comm::HistoryEntry> found = comm::interruptedWrite(m_ws->settings.journalFolder, target);
    if (!found) {
        say(message(TextId::ResumeNothing));
        return std::nullopt;
    }
    const journal::JournalHeader& h = found->summary.header;
    std::string bytes;
    if (!readFileBytes(h.dataFile, bytes) || sha256Hex(bytes) != h.dataFileSha256) {
        say(message(TextId::ResumeFileChanged, h.dataFile));
        return std::nullopt;
    }
    return found;
}

// A write that stopped without an end to this port's drive is named before
// another write goes out; a script answers the question No and goes on.
void Session::tellInterruptedWrite()
{
    const Workspace& ws = *m_ws;
    comm::ResumeTarget target;
    target.device = comm::serialDevicePath(m_options.port).value_or(m_options.port);
    target.model = ws.doc.identityTexts.model;
    target.romCode = ws.doc.identityTexts.romVersion;
    if (const std::optional<comm::HistoryEntry> found = comm::interruptedWrite(ws.settings.journalFolder, target)) {
        say(comm::resumeQuestion(found->summary));
        say(message(TextId::ResumeCliHint));
    }
}

int Session::runHistory()
{
    const Language language = m_ws->settings.language;
    const std::vector<comm::HistoryEntry> entries = comm::readHistory(m_ws->settings.journalFolder);
    if (m_options.json) {
        for (const comm::HistoryEntry& entry : entries) {
            const journal::JournalSummary& s = entry.summary;
            journal::FlatJson line;
            line.add("journal", entry.path)
                .add("utc", s.header.utcTime)
                .add("local", s.header.localTime)
                .add("kind", journal::transactionName(s.header.transaction))
                .add("file", s.header.dataFile)
                .add("drive", s.header.drive.text)
                .add("port", s.header.port)
                .add("device", s.header.device)
                .add("outcome", journal::endName(s.end))
                .add("resumed", s.resumed)
                .add("planned", s.planned)
                .add("sent", s.announced)
                .add("taken", s.taken)
                .add("refused", s.refused)
                .add("noAnswer", s.noAnswer);
            if (s.end == journal::JournalEnd::Cancelled)
                line.add("by", journal::cancelledByName(s.cancelledBy));
            m_out << line.text() << '\n';
        }
        m_out.flush();
        return ExitDone;
    }
    std::vector<TextRow> rows;
    rows.push_back({std::string(text(TextId::HistoryTitleTime, language)),
        std::string(text(TextId::HistoryTitleFile, language)), std::string(text(TextId::HistoryTitleDrive, language)),
        std::string(text(TextId::HistoryTitlePort, language)), std::string(text(TextId::HistoryTitleKind, language)),
        std::string(text(TextId::HistoryTitleOutcome, language)), std::string(text(TextId::HistoryTitleSent, language)),
        std::string(text(TextId::HistoryTitleTaken, language))});
    for (const comm::HistoryEntry& entry : entries) {
        const journal::JournalSummary& s = entry.summary;
        const std::string& time = s.header.localTime.empty() ? s.header.utcTime : s.header.localTime;
        rows.push_back({time.substr(0, 19), s.header.dataFile, s.header.drive.text,
            s.header.device.empty() ? s.header.port : s.header.device, journal::transactionName(s.header.transaction),
            comm::outcomeText(s), std::to_string(s.announced), std::to_string(s.taken)});
    }
    if (m_env.outIsTerminal)
        writeAligned(m_out, rows);
    else
        writeTabSeparated(m_out, rows);
    m_out.flush();
    return ExitDone;
}

// diff: A against B (or its defaults), each loaded whole with its table, each
// on the workspace as start-up left it.
int Session::runDiff()
{
    const Options& o = m_options;
    const std::string& leftPath = o.dataFiles.front();
    if (o.againstDefaults) {
        if (!loadTabledDataSet(leftPath))
            return ExitDiffTrouble;
        const tables::DataSetDiff diff = tables::diffWithDefaults(*m_ws);
        writeDiff(diff, cellText(gridSource(*m_ws), 0, ColDefault));
        return diff.lines.empty() ? ExitDone : ExitDataSetsDiffer;
    }
    const std::string& rightPath = o.dataFiles.back();
    const Workspace started = *m_ws;
    if (!loadTabledDataSet(rightPath))
        return ExitDiffTrouble;
    const Workspace right = *m_ws;
    *m_ws = started;
    if (!loadTabledDataSet(leftPath))
        return ExitDiffTrouble;
    const std::optional<tables::DataSetDiff> diff = tables::diffDataSets(*m_ws, right, m_ui);
    if (!diff)
        return ExitDiffTrouble;
    if (diff->ownTables && !o.json) {
        const IdentityTexts& a = m_ws->doc.identityTexts;
        const IdentityTexts& b = right.doc.identityTexts;
        const auto named = [](const IdentityTexts& boxes) {
            return boxes.model + " " + boxes.controlMode + " " + boxes.capacity + " " + boxes.romVersion;
        };
        m_out << message(TextId::DiffOwnTables, leftPath + " (" + named(a) + ")", rightPath + " (" + named(b) + ")")
                     .in(m_ws->settings.language)
              << '\n';
    }
    writeDiff(*diff, rightPath);
    return diff->lines.empty() ? ExitDone : ExitDataSetsDiffer;
}

// The differing parameters: code, name, A's value, B's value (or the
// default). JSON is one document, a difference a line.
void Session::writeDiff(const tables::DataSetDiff& diff, const std::string& rightTitle)
{
    const Options& o = m_options;
    const auto joinedPair = [](const std::string& first, const std::string& second) {
        return second.empty() ? first : first + " / " + second;
    };
    if (o.json) {
        journal::FlatJson head;
        head.add("a", o.dataFiles.front());
        if (o.againstDefaults)
            head.add("defaults", true);
        else
            head.add("b", o.dataFiles.back()).add("ownTables", diff.ownTables);
        std::string text = head.text();
        text.pop_back();
        m_out << text << ",\"differences\":[";
        bool first = true;
        for (const tables::DiffLine& line : diff.lines) {
            journal::FlatJson entry;
            entry.add("code", line.code).add("name", line.name);
            if (!line.otherCode.empty())
                entry.add("codeB", line.otherCode).add("nameB", line.otherName);
            if (line.left)
                entry.add("a", *line.left);
            if (line.right)
                entry.add("b", *line.right);
            m_out << (first ? "\n" : ",\n") << entry.text();
            first = false;
        }
        m_out << "\n]}\n";
        m_out.flush();
        return;
    }
    std::vector<TextRow> rows;
    if (m_env.outIsTerminal) {
        const GridSource grid = gridSource(*m_ws);
        rows.push_back({cellText(grid, 0, ColCode), cellText(grid, 0, ColName), o.dataFiles.front(), rightTitle});
    }
    for (const tables::DiffLine& line : diff.lines)
        rows.push_back({joinedPair(line.code, line.otherCode), joinedPair(line.name, line.otherName),
            line.left.value_or(""), line.right.value_or("")});
    if (m_env.outIsTerminal)
        writeAligned(m_out, rows);
    else
        writeTabSeparated(m_out, rows);
    m_out.flush();
}

int Session::runCompareDrive()
{
    if (!loadTabledDataSet(m_options.dataFiles.front()))
        return refused();
    Workspace& ws = *m_ws;
    DriveDialog dialog(ws, m_ui, m_options.port, comm::TransferKind::CompareWithDrive, m_env.workFolder);
    const TransferOutcome outcome = transact(dialog.presenter());
    // A comparison that came about is shown in the grid.
    if (outcome.result == 0 && !ws.doc.state.compareMode)
        return ExitTransferFailed;
    if (outcome.result != 0)
        return exitStatusOf(outcome, ExitTransferFailed);

    const GridSource grid = gridSource(ws);
    std::vector<TextRow> rows;
    const auto add = [&](int r) {
        rows.push_back({cellText(grid, r, ColCode), cellText(grid, r, ColValue), cellText(grid, r, ColDecimals)});
    };
    add(0);
    for (int slot = 0; slot < SlotCount; ++slot)
        if (ws.doc.comparison && ws.doc.comparison->rows[static_cast<std::size_t>(slot)]
            && ws.doc.comparison->differs[static_cast<std::size_t>(slot)])
            add(slot + 1);
    const std::size_t differing = rows.size() - 1;
    if (differing > 0) {
        if (m_env.outIsTerminal)
            writeAligned(m_out, rows);
        else
            writeTabSeparated(m_out, rows);
        m_out.flush();
    }
    say(message(TextId::CliDriveDiffers, std::to_string(differing)));
    return differing > 0 ? ExitDriveDiffers : ExitDone;
}

// Each file is converted on its own, as runEachFile does; the report of
// every file converted goes into the one --report file.
int Session::runConvert()
{
    const std::vector<std::string>& files = m_options.dataFiles;
    m_severalFiles = files.size() > 1;
    const Workspace started = *m_ws;
    std::vector<std::pair<std::string, tables::ConversionReport>> reports;
    int worst = ExitDone;
    for (const std::string& file : files) {
        *m_ws = started;
        if (m_severalFiles)
            m_ui.setFile(file);
        std::optional<tables::ConversionReport> report;
        worst = graverStatus(worst, convertOne(file, report));
        if (report)
            reports.emplace_back(file, std::move(*report));
    }
    m_ui.setFile({});
    if (m_options.report.empty() || reports.empty())
        return worst;

    std::vector<tables::NamedConversionReport> named;
    for (const auto& [file, report] : reports)
        named.push_back({file, &report});
    IoError error;
    const Language language = m_ws->settings.language;
    if (!m_ws->writer->replaceFile(m_options.report, tables::formatConversionReportsCsv(named, language), &error)) {
        say(withCause(message(TextId::CliCannotWrite, m_options.report), fileReasonCause(error.path, error.detail)));
        return graverStatus(worst, ExitRefused);
    }
    return worst;
}

// Inverter change on one data file, with the selection dialog driven by the
// command line's choice; what the options leave out stays as the data set
// has it. Written beside it or to -o; report is what the change did, once
// the converted data set is written.
int Session::convertOne(const std::string& path, std::optional<tables::ConversionReport>& report)
{
    // The report needs the table the words had: a data set shown raw has none.
    if (!loadTabledDataSet(path))
        return ExitRefused;
    Workspace& ws = *m_ws;
    Document& doc = ws.doc;
    const Options& o = m_options;
    const std::string target = convertedPath(path, o);
    if (sameFile(target, path)) {
        say(message(TextId::CliSameFile, target));
        return ExitRefused;
    }
    if (refuseExisting(target))
        return ExitRefused;

    const InverterIdentity was = doc.identity;
    const std::optional<catalogue::Model> fileModel = catalogue::modelOf(was.model);
    const std::optional<catalogue::Model> model = o.model.empty() ? fileModel : modelNamed(o.model);
    if (!model) {
        say(message(TextId::CliUnknownModel, o.model.empty() ? std::to_string(was.model) : o.model, modelNames()));
        return ExitRefused;
    }
    const bool sameModel = model == fileModel;
    catalogue::SelectionChoice choice;
    choice.model = *model;
    choice.controlMode = o.controlMode.value_or(sameModel ? was.controlMode : catalogue::defaultControlMode(*model));
    if (!o.capacity.empty()) {
        if (const std::optional<int> index = capacityIndexOf(o.capacity))
            choice.capacityIndex = *index;
        else
            choice.capacityText = o.capacity;
    } else if (const auto text
        = fileModel ? catalogue::capacityText(*fileModel, was.romVersion, was.capacity) : std::nullopt) {
        // The same drive size, wherever the new list holds it.
        choice.capacityText = std::string(*text);
    } else {
        choice.capacityIndex = was.capacity;
    }
    if (!o.romCode.empty())
        choice.romCode = o.romCode;
    else if (const auto rom = sameModel ? catalogue::romVersionText(*model, was.romVersion) : std::nullopt)
        choice.romCode = std::string(*rom);

    catalogue::ScriptedSelection selection;
    selection.choices.push_back(choice);
    selection.cancelUnlessAccepted = true;
    changeInverter(ws, m_ui, selection);
    const std::string capacityAsked
        = choice.capacityText.empty() ? std::to_string(choice.capacityIndex) : choice.capacityText;
    if (!selectionTaken(selection, *model, choice, capacityAsked))
        return ExitRefused;
    // The new table could not be loaded; the change has said so.
    if (doc.content != GridContent::Table || !doc.conversionReport)
        return ExitRefused;

    doc.state.fileName = target;
    const int written = exitStatusOfWrite(datafile::writeDataSet(ws, m_ui, target, datafile::SaveMode::SaveAs));
    if (written == ExitRefused)
        return written;
    report = *doc.conversionReport;
    const Language language = ws.settings.language;
    for (const std::string& line : tables::conversionSummary(*report, language))
        m_out << (m_severalFiles ? path + ": " : std::string()) << line << '\n';
    m_out.flush();
    const int outside = report->count(tables::ConversionKind::OutOfRange);
    if (outside == 0)
        return written;
    say(message(TextId::ConversionOutsideRange, target, std::to_string(outside)));
    return written == ExitDone ? ExitOutOfRange : written;
}

// The commissioning report of the data set, in the language in force, to
// the PDF named.
int Session::runReport(const std::string& path)
{
    if (!loadTabledDataSet(path))
        return ExitRefused;
    const std::string& target = m_options.output;
    if (sameFile(target, path)) {
        say(message(TextId::CliSameFile, target));
        return ExitRefused;
    }
    const Options& o = m_options;
    const print::ReportFields fields {o.site, o.tag, o.engineer, o.listAll};
    const Language language = m_ws->settings.language;
    const print::ReportFileOutcome written = print::writeReportFile(*m_ws, m_ui, m_env.reportCanvas, target,
        print::commissioningReportInput(*m_ws, fields, language, print::reportTimeText(std::time(nullptr))));
    if (written.result != print::ReportResult::Written)
        return ExitRefused;
    return m_inputDamaged ? ExitInputDamaged : ExitDone;
}

} // namespace

std::optional<catalogue::Model> modelNamed(std::string_view name)
{
    for (const catalogue::Model m : catalogue::allModels)
        if (catalogue::modelName(m) == name)
            return m;
    for (const catalogue::Model m : catalogue::allModels)
        if (equalsIgnoringCase(catalogue::modelName(m), name))
            return m;
    return std::nullopt;
}

int runCommandLine(std::span<const std::string> args, const CliEnvironment& env, std::ostream& out, std::ostream& err)
{
    const ParsedCommandLine parsed = parseCommandLine(args);
    const Options& options = parsed.options;
    if (options.help) {
        out << text(helpText(options.command), Language::English);
        out.flush();
        return ExitDone;
    }
    if (parsed.error) {
        const UsageError& e = *parsed.error;
        const std::string command(commandName(options.command));
        err << "tessaline-cli: " << message(e.id, e.arg1, e.arg2).en << '\n'
            << message(TextId::CliUsageHint, command.empty() ? command : command + " ").en << '\n';
        err.flush();
        return ExitUsage;
    }
    Session session(options, env, out, err);
    return session.run();
}

} // namespace tess::cli
