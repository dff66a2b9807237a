#pragma once

#include "app/catalogue/SelectionPurpose.h"
#include "app/datafile/DataSetFile.h"
#include "app/tables/TableLoader.h"
#include "domain/common/Language.h"
#include "domain/common/Message.h"

#include <optional>
#include <string>
#include <string_view>

namespace tess {

class Ui;
class UserStore;
struct Workspace;

// The inverter selection dialog as the commands see it: shown modally for
// the purpose given (a new data set, or a change of the open one's
// inverter). It stores the chosen identity in the document and says how it
// ended. The GUI shows its form; tests and the command line drive the
// dialog's presenter directly.
class SelectionHost {
public:
    virtual ~SelectionHost() = default;
    virtual catalogue::SelectionOutcome runSelectionDialog(Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose)
        = 0;
};

// The main window's commands. Each works on the workspace and talks to the
// user only through ui; the window shows the state afterwards.

// New: the selection dialog, then a new data set from the table's defaults.
void newDocument(Workspace& ws, Ui& ui, SelectionHost& selection);
// The second half of New, once the document's identity is chosen: the file
// name "new.csl", the table loaded with its defaults and the document open.
// Returns the table load's result.
tables::LoadResult createNewDataSet(Workspace& ws, Ui& ui);

// The commands that open a data set from a file or write it to one note
// the file in Document::usedFiles, for the recent files.

// Open: the open dialog, then the data set into the window.
void openDocument(Workspace& ws, Ui& ui);
// Open without the dialog, for a file named by the user another way (the
// recent files, a file dropped on the window, the command line): Open's
// reading and showing of the data set at path. A data set already open is
// replaced, after the save prompt when it has unsaved changes (Cancel, or a
// Save As given up, keeps it); a file that cannot be read leaves it as it
// is. True when the data set from path is open afterwards.
bool openDocumentAt(Workspace& ws, Ui& ui, const std::string& path);
// Whether path names a console data file: its name ends in ".csl", in any
// case. A file dropped on the window is opened only then.
bool isConsoleDataPath(std::string_view path);
// Save: the data set to its own file, when there is anything unsaved.
// Returns the data set writer's result (Saved also when there was nothing
// to save).
datafile::SaveResult saveDocument(Workspace& ws, Ui& ui);
// Save As: the save dialog, then the data set to the chosen file.
void saveDocumentAs(Workspace& ws, Ui& ui);
// Close: asks to save unsaved changes, then leaves no document open.
void closeDocument(Workspace& ws, Ui& ui);
// Whether the main window may close: asks to save unsaved changes; when the
// window may close, the special functions are switched off for the next run
// (in the user store when the installation's settings cannot be written).
bool mayCloseMainWindow(Workspace& ws, Ui& ui, UserStore& store);
// Inverter change: the selection dialog for the open data set, then its
// table reloaded for the new identity with the values kept. True when the
// new table was loaded, so that the document holds the report of this change.
bool changeInverter(Workspace& ws, Ui& ui, SelectionHost& selection);
// The language commands: texts, the recorded choice and, for an open
// document, the table texts in the new language. Nothing when the language
// is already in force.
void switchLanguage(Workspace& ws, Ui& ui, UserStore& store, Language language);

// Leaves the window with no document: empty grid and boxes, the commands of
// the no-document state, a comparison ended.
void resetToNoDocument(Workspace& ws);
// The four identity box texts of the document's identity. A lookup outside
// its list leaves the remaining boxes as they were and shows the indices.
void showIdentity(Workspace& ws, Ui& ui);

// Who opens a data set into the window: Open gives up on a data set that no
// table can show with the special functions off; a read from the inverter
// shows it raw.
enum class LoadPurpose { Open, InverterRead };
// Whether a data set read in part (a bad or missing value) is shown with
// the values before the fault, or not at all.
enum class PartialDataSet { Shown, Refused };
// How loadDataSetIntoWindow went: the file's read, then, once shown, the
// table load. Nothing read: the file could not be read and has said why.
// Read but nothing shown: a partial data set refused.
struct DataSetLoad {
    std::optional<datafile::ParseStatus> read;
    std::optional<tables::LoadResult> shown;
};
// `loadDataSetIntoWindow`: reads the data set at path into the document and
// shows it, with its table or, without one, as raw values; the document's
// file is path once it is read.
DataSetLoad loadDataSetIntoWindow(
    Workspace& ws, Ui& ui, const std::string& path, LoadPurpose purpose, PartialDataSet partial);
// The steps after the file is read: table, identity boxes or raw rows, the
// document open. Returns the table loader's result.
tables::LoadResult showLoadedDataSet(Workspace& ws, Ui& ui, LoadPurpose purpose);

// A mouse button on the status bar: Ctrl with the left button reveals the
// ROM menu.
void statusBarMouseDown(Workspace& ws, bool leftButton, bool ctrlHeld);

// Options > Conversion report can be chosen while the document holds a
// report.
void showConversionReportCommand(Workspace& ws);

// The save prompt's question for the file name.
Message savePrompt(const std::string& fileName);

} // namespace tess
