#pragma once

#include "domain/common/Language.h"
#include "domain/tables/ConversionReport.h"

#include <string>
#include <vector>

namespace tess {

struct Workspace;
class Ui;

// The rules of the conversion report dialog without a window: the rows of
// the report the document holds, narrowed by a filter that finds what the
// grid's search finds (codes and names before and after, in both
// languages), the counts, and "Save report…". The dialog shows the report
// as it was when opened: a change made meanwhile has its own.
class ConversionReportPresenter {
public:
    ConversionReportPresenter(Workspace& ws, Ui& ui);

    Language language() const { return m_language; }
    std::string caption() const;
    std::string filterCaption() const;
    std::string saveCaption() const;
    std::string closeCaption() const;
    std::vector<std::string> columnTitles() const;

    // The kinds' counts that occur, then "n words kept unchanged".
    std::vector<std::string> summaryLines() const;

    // The rows shown: every row of the report while the filter is empty.
    void setFilter(std::string searchText);
    const std::string& filter() const { return m_filter; }
    int shownRowCount() const { return static_cast<int>(m_shown.size()); }
    // The texts of a shown row, by column (columnTitles()' order).
    std::vector<std::string> shownRow(int index) const;
    // The slot behind a shown row.
    int shownSlot(int index) const;
    // "3 of 12 rows".
    std::string shownCountText() const;

    // Asks where to save the report (as .csv) and saves it there. False when
    // the user cancelled or the file could not be written (said through the
    // Ui, naming the file and the reason).
    bool save();

private:
    Workspace& m_ws;
    Ui& m_ui;
    Language m_language;
    tables::ConversionReport m_report;
    std::string m_filter;
    std::vector<int> m_shown; // indices into m_report.rows
};

} // namespace tess
