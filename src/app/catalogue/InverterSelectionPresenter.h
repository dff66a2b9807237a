#pragma once

#include "app/catalogue/SelectionPurpose.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/common/Identity.h"
#include "domain/text/Texts.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

// The rules of the inverter selection dialog (`InverterSelectionDialog`) and of the ROM
// version change acceptance, as a state machine without any window: the form
// forwards the user's events and shows the state it reads back.
namespace tess::catalogue {

// One entry of the ROM version picker. A leaf carries its full code (the
// hint of its menu item); a submenu has children and no code.
struct PickerNode {
    std::string label;
    std::string code;
    std::vector<PickerNode> children;

    bool isLeaf() const { return children.empty(); }
};

// The picker for a model: level-1 series prefixes in their fixed menu order,
// then the letter, then the digit (letter and digit together under "61",
// "71" and "72"). Only prefixes and letters with at least one offered code
// appear. For LX71 in V Mode (control mode 1) only 01-B3..01-B9 are offered.
std::vector<PickerNode> romPickerTree(Model model, int controlMode);

// The conversion files of a move from the data set's model to the new one:
// matrix and extent by the new model, group file by the data set's model.
// File names without a leading separator, relative to the program folder.
struct ConversionFiles {
    std::string_view matrix;
    std::string_view group;
    int extent = 0;
};
std::optional<ConversionFiles> conversionFiles(Model dataSetModel, Model newModel);

// Result codes of a matrix lookup.
namespace conversion {
constexpr int Refused = 0;
constexpr int Allowed = 1;
constexpr int SameVersion = 5;
constexpr int AskGroups = 10;
} // namespace conversion

struct ConversionResult {
    enum class Status {
        Answered, // code holds the answer (and the group indices on AskGroups)
        Malformed, // the files do not hold what the lookup needs: a refusal
        Unreadable, // "Please close RCM files." was shown and the dialog closed
    };
    Status status = Status::Answered;
    int code = conversion::AskGroups;
    int groupFrom = -1; // ROM index of the from-code's representative (data set's model)
    int groupTo = -1; // ROM index of the to-code's representative (new model)
};

// The five hidden labels `Label6` to `Label10` of the dialog: the last
// matrix cell looked at.
struct MatrixDiagnostics {
    std::string rowCode; // Label6
    std::string columnCode; // Label7
    std::string result; // Label8
    std::string rowIndex; // Label9
    std::string columnIndex; // Label10
};

class InverterSelectionPresenter {
public:
    InverterSelectionPresenter(Workspace& ws, Ui& ui);

    // Opens for the purpose given, reads the open data set's identity from
    // the document (inverter change) and fills the lists. May end with the
    // dialog closed at once (a data set whose own ROM version allows no move).
    void open(SelectionPurpose purpose);

    // User events.
    void changeModel(Model model);
    void changeControlMode(int controlMode);
    void changeCapacity(int capacity);
    // A leaf of the ROM version picker; code is the leaf's full code.
    void pickRomVersion(std::string_view code);
    void ok();
    void cancel();

    // Steps of a pick, open for tests and for the form's diagnostics.
    void acceptRomVersion(int romIndex);
    ConversionResult lookUpConversion(Model dataSetModel, Model newModel, int fromIndex, int toIndex);
    void restoreRomList(Model model);

    // State shown by the form.
    bool inverterChange() const { return m_change; }
    bool compareMode() const { return m_compare; }
    TextId captionId() const;
    SelectionOutcome outcome() const { return m_outcome; }
    bool isOpen() const { return m_outcome == SelectionOutcome::Open; }
    // The dialog has shown the user a message since it opened: a refusal
    // that said why.
    bool toldUser() const { return m_toldUser; }

    Model model() const { return m_model; } // ComboBox1
    bool modelEnabled() const { return m_modelEnabled; }
    const std::vector<std::string>& controlModes() const { return m_controlModes; } // ComboBox2
    int controlMode() const { return m_controlMode; }
    bool controlModeEnabled() const { return m_controlModeEnabled; }
    const std::vector<std::string>& capacities() const { return m_capacities; } // ComboBox3
    int capacity() const { return m_capacity; } // -1: none
    const std::vector<std::string>& romVersions() const { return m_romVersions; } // ComboBox4
    int romVersion() const { return m_romVersion; } // -1: none
    const std::string& romText() const { return m_romText; } // Label5
    // OK (`Button1`) can be pressed: enabled by the rules, and a capacity and
    // a ROM version are in force.
    bool okEnabled() const;
    const MatrixDiagnostics& diagnostics() const { return m_diagnostics; }
    std::vector<PickerNode> picker() const { return romPickerTree(m_model, m_controlMode); }

private:
    enum class Move { Proceed, Closed };

    void applyModel(Model model);
    Move checkMove(Model newModel, std::optional<CapacityListId>& fixedList, int& remappedCapacity);
    bool remapCapacity(CapacityListId into, int& capacity);
    void fillCapacities(std::optional<CapacityListId> list);
    void fillRomVersions(Model model, int count);
    void selectCapacity(int capacity);
    void selectRomVersion(int romIndex);
    // Steps of the ROM acceptance.
    void refuseMissingTable();
    // Inverter change: whether the data set may move to ROM index p; a
    // refusal has been told (or the dialog closed) when not.
    bool romChangeAllowed(int p);
    void refuseSameRom();
    void refuseLeavingVMode();
    bool conversionAllows(int p);
    void refuseRomChange();
    // Accepted: the capacity and control mode lists brought in line.
    void fitListsToRom(int p);
    // The capacity selected after accepting ROM index p, c selected before.
    int capacityAfterRom(int p, int c);
    void closeUnchanged();
    bool tableExists(Model model, int controlMode, int romIndex);
    void restoreTableRecord();
    std::string dataSetRomText() const;
    void tell(const Message& text);
    void show(TextId id);
    // "File is not found", naming the table file the installation lacks.
    void showTableNotFound(Model model, int controlMode, int romIndex);

    Workspace& m_ws;
    Ui& m_ui;

    bool m_change = false;
    bool m_compare = false;
    InverterIdentity m_dataSet {}; // the open data set (inverter change only)
    Model m_dataSetModel = Model::QM71; // its model; an unknown one closes the dialog at open
    SelectionOutcome m_outcome = SelectionOutcome::Open;
    bool m_toldUser = false;

    Model m_model = Model::QM71;
    std::optional<Model> m_listsModel; // the model whose lists are filled
    bool m_modelEnabled = true;
    std::vector<std::string> m_controlModes;
    int m_controlMode = 0;
    bool m_controlModeEnabled = true;
    std::vector<std::string> m_capacities;
    int m_capacity = -1;
    int m_baseCapacity = -1; // selected again after a refused placeholder
    std::vector<std::string> m_romVersions;
    int m_romVersion = -1;
    std::optional<int> m_acceptedRom; // new data set: accepted in this dialog for the model shown
    std::string m_romText;
    bool m_okEnabled = false;
    MatrixDiagnostics m_diagnostics;

    // The document's record of its table lookup, as it was when the dialog
    // opened; the dialog's own lookups are probes and must not outlive it.
    std::string m_savedTablePath;
};

} // namespace tess::catalogue
