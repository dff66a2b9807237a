#pragma once

#include <string>

namespace tess::tables {
struct ComparedDataSet;
} // namespace tess::tables

namespace tess {

class Ui;
struct Document;
struct Workspace;

// Compare files (`F1`): the open dialog, then the chosen data set file laid
// out beside the open one (compared values in column 5, the difference
// marker in column 6, their own titles), the window in the comparing state
// (Close, Compare again and Print). The open data set's identity and values
// are not touched. When the dialog is cancelled or the comparison fails, the
// window shows again what it showed before: the previous comparison, or the
// open data set with its own grid, titles and commands.
void compareFiles(Workspace& ws, Ui& ui);

// Compare with the drive: the inverter's data set, as the communication
// dialog read it through portName, laid out beside the open one with the
// rules, marks and commands of a file comparison; the file-name box names
// the inverter and the port. False when no comparison came about (its
// message was shown).
bool compareWithDrive(Workspace& ws, Ui& ui, const tables::ComparedDataSet& compared, const std::string& portName);

// Ends a comparison shown in the window: the grid as the open data set
// showed it, the normal titles, the file-name box back to the document's
// file and the commands of an opened document. Nothing when no comparison
// is shown. Whatever writes the grid to a file calls this first.
void endComparison(Workspace& ws);

// What the file-name box (`Edit5`) shows: the compared file while a
// comparison is shown, otherwise the document's file name.
const std::string& fileNameBoxText(const Document& doc);

} // namespace tess
