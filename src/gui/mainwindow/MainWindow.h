#pragma once

#include "core/app/CommandStates.h"
#include "core/app/Workspace.h"
#include "core/common/Language.h"
#include "core/mainwindow/Commands.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace tess {
class Ui;
class UserStore;
} // namespace tess

namespace tess::gui {

class ParameterGridModel;
class LogViewerDialog;
class ParameterGridView;
class WorkspaceGridEditing;

// The main window. It shows what the workspace holds and forwards every
// command to the core; it decides nothing itself. Controls carry the names
// the rest of the program uses for them (File1, New1, SpeedButton1, Edit1,
// StringGrid1, ...) as object names.
//
// The grid's header row (grid row 0) is the table view's horizontal header,
// so grid row r (r >= 1) is view row r - 1.
//
// The window is also where the commands show the inverter selection dialog.
class MainWindow : public QMainWindow, public SelectionHost {
    Q_OBJECT

public:
    MainWindow(Workspace& ws, Ui& ui, UserStore& store, QWidget* parent = nullptr);
    ~MainWindow() override;

    // After start-up and every command: shows what the core holds: caption, command states, the language's
    // texts and presentation, the file name and the grid's shape and header.
    void refreshFromCore();
    void applyCommandStates(const CommandStates& states);
    // Font, width, check marks, captions, hints and grid titles of the language.
    void applyLanguage(Language language);

    Workspace& workspace() { return m_ws; }
    ParameterGridView* grid() const { return m_grid; }

    void runSelectionDialog(Workspace& ws, Ui& ui) override;

public slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void F1Click();
    void Print1Click();
    void Exit1Click();
    void K2Click();
    void K3Click();
    void K5Click();
    void K8Click();
    void K9Click();
    void KJ1Click();
    void KE1Click();
    void K7Click();
    void N5Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the window may close: asks to save unsaved changes.
    bool MainFormCloseQuery();

    void buildMenus();
    QWidget* buildTopPanel();
    QWidget* buildLeftPanel();
    void buildGrid();
    QAction* addItem(QMenu* menu, const char* name, void (MainWindow::*slot)());
    void showLanguageMarks(Language language);
    void runCommunication(char direction);
    void showIdentityBoxes();

    Workspace& m_ws;
    Ui& m_ui;
    UserStore& m_store;

    QLineEdit* m_edit5 = nullptr;
    QLabel* m_label6 = nullptr;
    QLabel* m_label7 = nullptr;
    QLineEdit* m_identity[4] = {}; // Edit1 .. Edit4
    ParameterGridView* m_grid = nullptr;
    ParameterGridModel* m_gridModel = nullptr;
    std::unique_ptr<WorkspaceGridEditing> m_editing;
    std::optional<Language> m_shownLanguage; // the language the window's texts are in
    QPointer<LogViewerDialog> m_logForm; // the communication log viewer while it is open
    QLabel* m_statusText = nullptr;
};

} // namespace tess::gui
