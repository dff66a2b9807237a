#include "app/mainwindow/CompareCommand.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "app/datafile/DataSetFile.h"
#include "app/mainwindow/CommandStates.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/ReceivedImageReport.h"
#include "app/tables/FileCompareCommand.h"
#include "domain/text/Texts.h"

#include <algorithm>
#include <optional>

namespace tess {
namespace {

// While comparing the user can Close, compare again or print; nothing may
// change the open data set or reload its table under the comparison.
void applyComparingState(CommandStates& c)
{
    c.newItem = c.openItem = c.saveItem = c.saveAsItem = false;
    c.transferHistoryItem = false; // its Open data set would replace the compared one
    c.closeItem = c.compareItem = c.printItem = true;
    c.compareDriveItem = true;
    c.endComparisonItem = true;
    c.executeMenu = c.optionsMenu = c.languageMenu = c.helpMenu = c.romMenu = false;
    c.closeButton = c.compareButton = c.printButton = true;
    c.newButton = c.openButton = c.saveAsButton = false;
    c.dataReadButton = c.dataWriteButton = c.commLogButton = c.inverterChangeButton = false;
    c.undoItem = c.redoItem = false;
}

// The commands of the opened data set again once no comparison is shown.
// Save follows the unsaved changes, as everywhere else.
void applyStateAfterComparison(Workspace& ws)
{
    CommandStates& c = ws.view.commands;
    applyDocumentOpenedState(c);
    if (ws.doc.content == GridContent::Raw)
        applyRawDataSetOverrides(c);
    c.executeMenu = c.optionsMenu = c.languageMenu = c.helpMenu = c.romMenu = true;
    c.newItem = c.openItem = false;
    c.saveItem = !ws.doc.state.saved;
    c.commLogButton = true;
    c.endComparisonItem = false;
    showEditHistoryCommands(ws);
}

// Reads the compared file with the data set reader's rules and messages,
// into values of its own. Entries a short or damaged file does not give
// keep the open data set's values, as the reader's message says.
bool readComparedFile(Workspace& ws, Ui& ui, const std::string& path, tables::ComparedDataSet& out)
{
    const std::optional<datafile::ParsedDataSet> parsed = datafile::readDataSetFile(path, ui, ws.settings.language);
    if (!parsed)
        return false;
    out.identity = parsed->identity;
    out.values = ws.doc.values;
    std::copy_n(parsed->values.begin(), parsed->valueCount, out.values.begin());
    return true;
}

} // namespace

namespace {

// The window in the comparing state before a comparison is laid out; true
// when one was shown already.
bool enterComparing(Workspace& ws)
{
    Document& doc = ws.doc;
    const bool wasComparing = doc.state.compareMode;
    doc.state.compareMode = true;
    applyComparingState(ws.view.commands);
    return wasComparing;
}

// A comparison that does not come about leaves the window as it was.
void giveUp(Workspace& ws, bool wasComparing)
{
    if (!wasComparing)
        endComparison(ws);
}

bool layOutComparison(
    Workspace& ws, Ui& ui, const tables::ComparedDataSet& compared, const std::string& source, bool wasComparing)
{
    tables::CompareResult result = tables::CompareResult::Failed;
    {
        const BusyScope busy(ui);
        result = tables::compareParameterTable(ws, ui, compared);
    }
    if (result != tables::CompareResult::Done) {
        ui.showMessage(message(TextId::CompareUnable), ws.settings.language);
        giveUp(ws, wasComparing);
        return false;
    }
    ws.doc.comparedFileName = source;
    showIdentity(ws, ui);
    return true;
}

} // namespace

void compareFiles(Workspace& ws, Ui& ui)
{
    if (!ws.doc.state.open)
        return;
    const bool wasComparing = enterComparing(ws);

    FileDialogRequest request;
    request.filter = std::string(text(TextId::ConsoleDataFilter, Language::English));
    request.fileName = "*.csl";
    const std::optional<std::string> path = ui.chooseOpenFile(request);
    if (!path)
        return giveUp(ws, wasComparing);
    tables::ComparedDataSet compared;
    if (!readComparedFile(ws, ui, *path, compared))
        return giveUp(ws, wasComparing);
    layOutComparison(ws, ui, compared, *path, wasComparing);
}

bool compareWithDrive(Workspace& ws, Ui& ui, const tables::ComparedDataSet& compared, const std::string& portName)
{
    if (!ws.doc.state.open)
        return false;
    const bool wasComparing = enterComparing(ws);
    const std::string source = message(TextId::CompareDriveSource, portName).in(ws.settings.language);
    if (!layOutComparison(ws, ui, compared, source, wasComparing)) {
        ws.doc.receivedImage.reset();
        return false;
    }
    // What converting the drive's image did, as a read would report it.
    if (std::optional<tables::ConversionReport> converted = takeReceivedImageReport(ws.doc, compared.values))
        ws.doc.conversionReport = std::move(converted);
    showConversionReportCommand(ws);
    return true;
}

void endComparison(Workspace& ws)
{
    Document& doc = ws.doc;
    if (!doc.state.compareMode)
        return;
    doc.state.compareMode = false;
    doc.comparedFileName.clear();
    doc.comparison.reset();
    applyStateAfterComparison(ws);
}

const std::string& fileNameBoxText(const Document& doc)
{
    return doc.state.compareMode && !doc.comparedFileName.empty() ? doc.comparedFileName : doc.state.fileName;
}

} // namespace tess
