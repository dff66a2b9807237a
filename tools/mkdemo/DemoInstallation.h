#pragma once

#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/FileIo.h"
#include "domain/settings/FileVersionSettings.h"

#include <string>
#include <vector>

namespace tess::demo {

struct DemoOptions {
    bool view = false; // FileVersion.INI "View"/"Value"
    bool specialFunctions = false; // FileVersion.INI "spcialfunc"/"used"
    // Every file goes through this writer; null means the real file system
    // (replaced through a temporary file and a rename, without the flush to
    // disk, since demo files can always be made again).
    FileWriter* writer = nullptr;
};

// One parameter table the demo installation holds: indices into the model
// catalogue (model, control mode, ROM version).
struct CoveredTable {
    catalogue::Model model = catalogue::Model::QM71;
    int controlMode = 0;
    int romVersion = 0;

    friend bool operator==(const CoveredTable&, const CoveredTable&) = default;
};

// Every table the demo writes, ordered by model, ROM version, control mode.
// Each model's Ver_max and New_Ver in the written FileVersion.INI lie within
// these: New_Ver has a table for every control mode the model is given, and
// Ver_max stops a little above the newest table so that versions without a
// table of their own exist within the limit.
const std::vector<CoveredTable>& coveredTables();

// The settings the written FileVersion.INI holds, as the start-up would read
// them; for tests that build a workspace on a demo folder without reading it.
FileVersionSettings demoSettings(const DemoOptions& options);

// The number (0..15) of the capacity default file a covered table names, or
// -1 for a combination the demo has no table for.
int capacityFileNumber(catalogue::Model model, int romVersion);

// Writes a complete demo installation (FileVersion.INI, model folders with
// parameter tables, MSEL capacity files, conversion matrices and group files)
// into folder, creating it when missing. A file whose bytes are already as
// they would be written is left untouched, so a second run changes nothing;
// files that are not the demo's own are never removed. Returns false with a
// reason on failure.
bool writeDemoInstallation(const std::string& folder, const DemoOptions& options, std::string* error);

} // namespace tess::demo
