#pragma once

#include "app/mainwindow/CellEditState.h"
#include "app/mainwindow/EditHistory.h"
#include "domain/common/Identity.h"
#include "domain/grid/CellText.h"
#include "domain/tables/ConversionReport.h"
#include "domain/tables/FileCompare.h"
#include "domain/tables/ParameterTable.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tess {

struct DocumentState {
    std::string fileName;
    bool open = false;
    bool saved = true;
    bool compareMode = false;
    bool cellEditing = false;
};

// What the identity boxes left of the grid show, top to bottom.
struct IdentityTexts {
    std::string model; // "QM71"
    std::string controlMode;
    std::string capacity; // capacity and voltage, "5.5kW-200V"
    std::string romVersion;

    friend bool operator==(const IdentityTexts&, const IdentityTexts&) = default;
};

// The one open data set and everything derived from it.
struct Document {
    DocumentState state;
    InverterIdentity identity;
    ParameterSet values {};
    ParameterTable table;
    // What the grid lays out: the table's rows, raw values, or nothing. Every
    // text it shows is computed from the fields here (cellText).
    GridContent content = GridContent::None;
    // While a file comparison is shown (compareMode).
    std::optional<tables::Comparison> comparison;
    // What the last Inverter change did to the words, until the next change
    // or until the data set is closed or replaced.
    std::optional<tables::ConversionReport> conversionReport;
    // The words of an image the drive sent, as sent, until the data set or
    // comparison made of them reports what their conversion did.
    std::optional<ParameterSet> receivedImage;
    CellEditState edit;
    // The value entries since the data set was opened or made.
    EditHistory history;
    // The files a data set was opened from or saved to by the commands,
    // oldest first, until the window adds them to the recent files.
    std::vector<std::string> usedFiles;

    // The identity as last read from a file, kept for file comparison.
    InverterIdentity loadedIdentity;
    // Recorded by the last table lookup for the loader: the table the
    // document's identity is shown with (an older ROM version's where one
    // stands in).
    std::string currentTablePath;
    bool substituteTableShown = false;

    IdentityTexts identityTexts;

    // The indices behind the identity that the main window's hidden labels
    // show as "ROM:<ROM index>" and "Cap:<capacity index>"; nothing leaves
    // the label empty.
    std::optional<int> romIndexShown;
    std::optional<int> capacityIndexShown;

    // While a file comparison is shown (compareMode): the compared file's
    // path, which the file-name box shows in place of fileName.
    std::string comparedFileName;
};

} // namespace tess
