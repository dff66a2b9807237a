#include "app/tables/TableLookup.h"

#include "app/common/Ui.h"
#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/text/Texts.h"

namespace tess::tables {

std::string findTableFileForCurrent(Workspace& ws, Ui& ui, const std::optional<TableChoice>& dialogChoice)
{
    Document& doc = ws.doc;
    TableChoice choice {doc.identity.model, doc.identity.controlMode, doc.identity.romVersion};
    if (doc.identityFromDataSet)
        doc.identityFromDataSet = false;
    else if (dialogChoice)
        choice = *dialogChoice;

    std::string path;
    if (choice.model < 0 || choice.model >= catalogue::ModelCount) {
        ui.showMessage(message(TextId::TableNoRomVersion), ws.language);
        path = std::string(NoRomVersionPath);
        doc.controlModeLetter = 0;
    } else {
        path = findTableFile(ws.applicationFolder, choice.model, choice.controlMode, choice.romVersion);
        doc.controlModeLetter = controlModeLetter(choice.model, choice.controlMode);
        doc.family = catalogue::modelFamily(choice.model);
    }
    doc.currentTablePath = path;
    return path;
}

} // namespace tess::tables
