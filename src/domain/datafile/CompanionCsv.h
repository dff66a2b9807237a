#pragma once

#include "domain/common/Identity.h"
#include "domain/common/Language.h"
#include "domain/grid/CellText.h"

#include <optional>
#include <string>
#include <string_view>

// The readable copy written beside each saved data set: the identity texts,
// the grid column titles and the texts of grid rows 1 to 665, as the grid
// shows them in the current language.
namespace tess::datafile {

// The .csv beside a .csl: "pump.csl" gives "pump.csv" (the extension in any
// letter case). A path without the .csl extension gets ".csv" appended, so
// the copy never takes the place of the data file itself.
std::string companionCsvPath(const std::string& cslPath);

// One field: as it is, or in double quotes with inner quotes doubled when it
// holds a comma, a double quote or a line end.
std::string csvField(std::string_view text);

// Line 1 (UTF-8, without line end): model name, control mode name in the
// language, capacity text and ROM version text, or "No support,Machine,Data
// only" for a model outside the catalogue. Nothing when the catalogue has no
// text for the combination (the line is then left out).
std::optional<std::string> csvIdentityLine(const InverterIdentity& identity, Language language);

// The whole file, CP932 with CR LF line ends: line 1, the column titles and
// the texts of grid rows 1 to 665 in the grid's language.
std::string formatCompanionCsv(const InverterIdentity& identity, const GridSource& grid);

} // namespace tess::datafile
