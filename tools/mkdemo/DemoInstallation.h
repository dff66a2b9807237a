#pragma once

#include <string>

namespace tess::demo {

struct DemoOptions {
    bool view = false;             // FileVersion.INI "View"/"Value"
    bool specialFunctions = false; // FileVersion.INI "spcialfunc"/"used"
};

// Writes a complete demo installation (FileVersion.INI, model folders with
// parameter tables, MSEL capacity files, conversion matrices and group files)
// into folder, which must exist. Returns false with a reason on failure.
bool writeDemoInstallation(const std::string& folder, const DemoOptions& options, std::string* error);

} // namespace tess::demo
