#include "app/mainwindow/DocumentGrid.h"

#include "app/common/Workspace.h"

namespace tess {

namespace {

// What the grid shows while a comparison is being chosen: the comparison's
// titles over the open data set's rows.
const tables::Comparison& comparisonWithoutRows()
{
    static const tables::Comparison none;
    return none;
}

} // namespace

GridSource gridSource(const Document& doc, Language language)
{
    GridSource source;
    source.content = doc.content;
    source.table = &doc.table;
    source.values = &doc.values;
    source.capacity = doc.identity.capacity;
    if (doc.state.compareMode)
        source.comparison = doc.comparison ? &*doc.comparison : &comparisonWithoutRows();
    source.language = language;
    return source;
}

GridSource gridSource(const Workspace& ws)
{
    return gridSource(ws.doc, ws.settings.language);
}

std::string gridText(const Workspace& ws, int row, int col)
{
    return cellText(gridSource(ws), row, col);
}

} // namespace tess
