#include "app/mainwindow/DocumentGrid.h"

#include "app/common/Workspace.h"

namespace tess {

GridSource gridSource(const Document& doc, Language language)
{
    GridSource source;
    source.content = doc.content;
    source.table = &doc.table;
    source.values = &doc.values;
    source.capacity = doc.identity.capacity;
    source.comparing = doc.state.compareMode;
    source.comparison = doc.state.compareMode && doc.comparison ? &*doc.comparison : nullptr;
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
