#pragma once

#include "domain/catalogue/ModelCatalogue.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {
struct Workspace;
class Ui;
} // namespace tess

// The rules of the dialog that adds parameter-table files of further ROM
// versions to the installation (`AddRomFilesDialog`), without any window: the form
// forwards the user's events and shows the state it reads back.
namespace tess::catalogue {

// One entry of the model choice: its text (also the name its table files
// must contain) and the model folder it names under the program folder.
struct RomFileModelChoice {
    Model model;
    std::string_view name() const { return modelName(model); }
};
// The nine models that can take files, in the order they are offered (not
// the model index order; QM73N, QM71KRTP and LX71KRTP are not offered).
std::span<const RomFileModelChoice> romFileModelChoices();

struct AddRomCaptions {
    std::string title;
    std::string machine; // RadioGroup1
    std::string addFileName; // Label2
    std::string select; // Button1
    std::string clear; // Button4
    std::string add; // Button2
    std::string close; // Button3
};

class AddRomFilesPresenter {
public:
    AddRomFilesPresenter(Workspace& ws, Ui& ui);

    AddRomCaptions captions() const;

    // The user picks entry `choice` of romFileModelChoices(); anything else
    // is ignored. Picking another model drops files chosen for the old one:
    // their names were checked against that model, not this one.
    void chooseModel(int choice);
    // Select: the multi-select file dialog, then the model check of each name.
    void select();
    // Clear: forgets the chosen files.
    void clear();
    // Add: copies the chosen files into the model's folder.
    void add();
    // Close: forgets the model and the files and hides the ROM menu again.
    void close();

    int chosenModel() const { return m_choice; } // index into romFileModelChoices(); -1 for none
    // The folder added tables go to (the program folder, or the user's own
    // when the installation may not be written) followed by the chosen
    // model's folder; "" for none.
    const std::string& targetFolder() const { return m_targetFolder; }
    // ListBox1: the bare names of the chosen files, in the dialog's order.
    const std::vector<std::string>& listNames() const { return m_names; }
    // The files Add would copy (full paths), in the same order.
    const std::vector<std::string>& chosenPaths() const { return m_paths; }
    const std::string& fileCountText() const { return m_fileCountText; } // "Files:" or "File:" and the count
    bool selectEnabled() const { return m_choice >= 0; }
    bool addEnabled() const { return m_addEnabled; }
    bool isClosed() const { return m_closed; }

private:
    void forgetFiles();

    Workspace& m_ws;
    Ui& m_ui;
    int m_choice = -1;
    std::string m_targetFolder;
    std::vector<std::string> m_names;
    std::vector<std::string> m_paths;
    std::string m_fileCountText;
    bool m_addEnabled = false;
    bool m_closed = false;
};

} // namespace tess::catalogue
