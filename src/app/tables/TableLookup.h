#pragma once

#include "domain/tables/TableFiles.h"

#include <optional>
#include <string>
#include <string_view>

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

// The table lookup of the document in force: which table file the loader
// and the inverter selection dialog use, recorded in the document.
namespace tess::tables {

// The identity the inverter selection dialog shows while it is deciding.
struct TableChoice {
    int model = 0;
    int controlMode = 0;
    int romVersion = -1;
};

// What `findTableFileForCurrent` answers for a model outside the catalogue:
// a text that names no file. The loader does not try to open it.
inline constexpr std::string_view NoRomVersionPath = "-1";

// `findTableFileForCurrent`: the table of the dialog's choice when one is
// given, else of the document's identity. The result becomes the current
// table path. A model outside 0..11 shows "No ROM Version." and answers
// NoRomVersionPath.
std::string findTableFileForCurrent(Workspace& ws, Ui& ui, const std::optional<TableChoice>& dialogChoice = {});

} // namespace tess::tables
