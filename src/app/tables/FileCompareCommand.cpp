#include "app/tables/FileCompareCommand.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"

namespace tess::tables {

CompareResult compareParameterTable(Workspace& ws, Ui& ui, const ComparedDataSet& compared)
{
    Document& doc = ws.doc;
    const CompareRequest request {
        ws.settings.applicationFolder, doc.identity, doc.values, &doc.table, ws.settings.userFolder};
    TableComparison comparison = compareWithTable(request, compared);
    for (const Message& notice : comparison.notices)
        ui.showMessage(notice, ws.settings.language);
    if (!comparison.done)
        return CompareResult::Failed;
    // Made apart, so that a comparison that fails half way leaves the one
    // shown before, or none.
    doc.comparison = std::move(comparison.comparison);
    return CompareResult::Done;
}

} // namespace tess::tables
