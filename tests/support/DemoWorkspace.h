#pragma once

#include "app/catalogue/SelectionScript.h"
#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "domain/settings/UserStore.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

namespace tess::test {

// A demo installation in a temporary folder and a workspace started on it,
// as the program would start from that folder.
class DemoWorkspace {
public:
    explicit DemoWorkspace(Language language = Language::English, bool specialFunctions = false);

    // New as a user makes it most often: QM71 with its default control mode,
    // capacity and ROM version. True when a data set is open afterwards.
    bool newDefaultDataSet();

    TempDir dir;
    Workspace ws;
    FakeUi ui;
    MemoryUserStore store;
};

// The choice of the default QM71 in the selection dialog.
catalogue::SelectionChoice defaultQm71Choice();

// The first value row with one decimal place past row `from`, away from the
// rows the rules between parameters read; 0 when there is none.
int oneDecimalRow(const Document& doc, int from = 14);

} // namespace tess::test
