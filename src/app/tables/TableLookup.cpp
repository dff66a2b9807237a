#include "app/tables/TableLookup.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/text/Texts.h"

namespace tess::tables {

std::string findTableFileForCurrent(Workspace& ws, Ui& ui, const std::optional<TableChoice>& dialogChoice)
{
    Document& doc = ws.doc;
    const TableChoice choice
        = dialogChoice.value_or(TableChoice {doc.identity.model, doc.identity.controlMode, doc.identity.romVersion});

    std::string path;
    if (!catalogue::modelOf(choice.model)) {
        ui.showMessage(message(TextId::TableNoRomVersion), ws.settings.language);
        path = std::string(NoRomVersionPath);
    } else {
        path = findTableFile(ws.settings.tableFolders(), choice.model, choice.controlMode, choice.romVersion);
    }
    doc.currentTablePath = path;
    return path;
}

} // namespace tess::tables
