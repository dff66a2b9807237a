#pragma once

#include "core/catalogue/AddRomFilesPresenter.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace tess {
class Ui;
struct Workspace;
} // namespace tess

namespace tess::gui {

// The dialog that adds parameter-table files of further ROM versions. Every
// rule lives in the core's AddRomFilesPresenter: the form forwards the user's events
// and shows its state. Messages and the file dialog go through the Ui.
// Controls carry their program names (RadioGroup1, ListBox1, Label1, Label2,
// Button1..Button4) as object names.
class AddRomFilesDialog : public QDialog {
    Q_OBJECT

public:
    AddRomFilesDialog(Workspace& ws, Ui& ui, QWidget* parent = nullptr);

    const catalogue::AddRomFilesPresenter& addRom() const { return m_core; }

private:
    void RadioGroup1Click(int choice);
    void Button1Click(); // Select
    void Button2Click(); // Add
    void Button3Click(); // Close
    void Button4Click(); // Clear

    void build();
    void refresh();

    catalogue::AddRomFilesPresenter m_core;
    QGroupBox* m_radioGroup = nullptr; // RadioGroup1
    QButtonGroup* m_models = nullptr;
    QListWidget* m_list = nullptr; // ListBox1
    QLabel* m_count = nullptr; // Label1
    QLabel* m_listCaption = nullptr; // Label2
    QPushButton* m_select = nullptr; // Button1
    QPushButton* m_add = nullptr; // Button2
    QPushButton* m_close = nullptr; // Button3
    QPushButton* m_clear = nullptr; // Button4
};

} // namespace tess::gui
