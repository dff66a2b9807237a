#pragma once

#include "app/comm/TransferHistory.h"

#include <optional>
#include <string>
#include <vector>

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

namespace tess::comm {

// The texts of the transfer history window in the current language.
struct TransferHistoryTexts {
    std::string caption;
    std::vector<std::string> columnTitles; // time, file, drive, port, kind, outcome, sent, taken
    std::string openDataSet;
    std::string compareWithDrive;
    std::string close;
};

// What "Compare with drive" on a transfer leaves the window to do: its data
// set is open, and the comparison with the drive is to run over port ("":
// the port of the settings).
struct DriveComparison {
    std::string port;
};

// The transfer history window without a window: the transfers with the
// drive as their journals tell them, newest first; the one chosen shows its
// words and their outcomes and can have its data set opened in the window.
class TransferHistoryPresenter {
public:
    TransferHistoryPresenter(Workspace& ws, Ui& ui);

    TransferHistoryTexts texts() const;

    // Reads the journals afresh; nothing is chosen afterwards.
    void reload();
    // One row a transfer, the cells in the order of the column titles.
    const std::vector<std::vector<std::string>>& rows() const { return m_rows; }

    // -1 chooses none.
    void choose(int row);
    int chosen() const { return m_chosen; }
    // The chosen transfer's words (each with its outcome) and the words that
    // read back otherwise; none while nothing is chosen.
    std::vector<std::string> chosenDetails() const;

    // A chosen transfer that names a data set.
    bool openEnabled() const;
    // Opens the chosen transfer's data set in the window by Open's rules
    // (the save prompt first for unsaved changes). True when it was opened.
    bool openChosenDataSet();
    // Opens the chosen transfer's data set as openChosenDataSet does and
    // gives the comparison with the drive the window runs next: over the
    // transfer's port while that still names the device it named then, else
    // over that device when it is one, else over the settings' port. None
    // when nothing was opened.
    std::optional<DriveComparison> compareChosenWithDrive();

private:
    const HistoryEntry* chosenEntry() const;

    Workspace& m_ws;
    Ui& m_ui;
    std::vector<HistoryEntry> m_entries;
    std::vector<std::vector<std::string>> m_rows;
    int m_chosen = -1;
};

} // namespace tess::comm
