#pragma once

#include "app/comm/TransferHistory.h"

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
    std::string close;
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

private:
    const HistoryEntry* chosenEntry() const;

    Workspace& m_ws;
    Ui& m_ui;
    std::vector<HistoryEntry> m_entries;
    std::vector<std::vector<std::string>> m_rows;
    int m_chosen = -1;
};

} // namespace tess::comm
