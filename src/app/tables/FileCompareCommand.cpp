#include "app/tables/FileCompareCommand.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"

namespace tess::tables {

int compareParameterTable(Workspace& ws, Ui& ui, const ComparedDataSet& compared)
{
    Document& doc = ws.doc;
    const CompareRequest request {
        ws.settings.applicationFolder, doc.identity, doc.values, doc.rows, ws.settings.language};
    TableComparison comparison = compareWithTable(request, compared);
    for (const Message& notice : comparison.notices)
        ui.showMessage(notice, ws.settings.language);
    if (!comparison.done)
        return CompareFailed;
    // Filled apart, so that a comparison that fails half way leaves the grid
    // as the open data set showed it.
    doc.rows = std::move(comparison.rows);
    doc.compareAreaFirst = comparison.areaFirst;
    doc.compareAreaLast = comparison.areaLast;
    return CompareDone;
}

} // namespace tess::tables
