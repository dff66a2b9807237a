#include "support/DemoWorkspace.h"

#include "app/startup/Startup.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "mkdemo/DemoInstallation.h"

#include <gtest/gtest.h>

namespace tess::test {

DemoWorkspace::DemoWorkspace(Language language, bool specialFunctions)
{
    demo::DemoOptions options;
    options.specialFunctions = specialFunctions;
    std::string error;
    EXPECT_TRUE(demo::writeDemoInstallation(dir.path(), options, &error)) << error;
    store.writeInteger(UserValueEigo, language == Language::English ? 1 : 0);
    startUp(ws, ui, store, StartupEnvironment {dir.file("tessaline"), "", "", ""});
    ui.messages.clear();
}

catalogue::SelectionChoice defaultQm71Choice()
{
    catalogue::SelectionChoice choice;
    choice.model = catalogue::Model::QM71;
    choice.controlMode = catalogue::defaultControlMode(catalogue::Model::QM71);
    choice.capacityIndex = catalogue::defaultCapacity(catalogue::Model::QM71);
    return choice;
}

int oneDecimalRow(const Document& doc, int from)
{
    for (int row = from; row <= SlotCount; ++row)
        if (const std::optional<ParameterDef>& def = doc.table.def(row - 1); def && def->decimals == 1)
            return row;
    return 0;
}

bool DemoWorkspace::newDefaultDataSet()
{
    catalogue::ScriptedSelection selection;
    selection.choices.push_back(defaultQm71Choice());
    newDocument(ws, ui, selection);
    return ws.doc.state.open;
}

} // namespace tess::test
