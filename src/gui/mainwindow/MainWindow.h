#pragma once

#include "app/common/Workspace.h"
#include "app/mainwindow/CommandStates.h"
#include "app/mainwindow/Commands.h"
#include "domain/common/Language.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace tess {
class Ui;
class UserStore;
} // namespace tess

namespace tess::comm {
enum class TransferKind;
} // namespace tess::comm

namespace tess::gui {

class GridSearchBar;
class ParameterGridModel;
class LogViewerDialog;
class ParameterGridView;
class SerialTransferDialog;
class WorkspaceGridEditing;

// The main window. It shows what the workspace holds and forwards every
// command to the application layer; it decides nothing itself. Controls carry the names
// the rest of the program uses for them (File1, New1, SpeedButton1, Edit1,
// StringGrid1, ...) as object names: the commands' from commandControls(),
// the others' from one table in the window's source.
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

    // After start-up and every command: shows what the application holds: caption, command states, the language's
    // texts and presentation, the file name and the grid's shape and header.
    void refreshFromCore();
    void applyCommandStates(const CommandStates& states);
    // Font, width, check marks, captions, hints and grid titles of the language.
    void applyLanguage(Language language);

    Workspace& workspace() { return m_ws; }
    ParameterGridView* grid() const { return m_grid; }

    catalogue::SelectionOutcome runSelectionDialog(Workspace& ws, Ui& ui, catalogue::SelectionPurpose purpose) override;

    // A data set file named other than through the open dialog (the command
    // line, a file dropped on the window): opened by Open's rules, the save
    // prompt first when the open data set has unsaved changes.
    void openFileByPath(const std::string& path);
    // At the start: a write that stopped without an end is offered once; on
    // Yes its data set is opened and the communication dialog shows the
    // write that finishes it (changed-only), to be started with Execute.
    void offerInterruptedWrite();

public slots:
    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    void onClose();
    void onEndComparison();
    void onCompareFiles();
    void onCompareWithDrive();
    void onTransferHistory();
    void onUndo();
    void onRedo();
    void onFind();
    void onPrint();
    void onCommissioningReport();
    void onExit();
    void onDataRead();
    void onDataWrite();
    void onCommSettings();
    void onShowLog();
    void onInverterChange();
    void onConversionReport();
    void onJapanese();
    void onEnglish();
    void onAbout();
    void onAddRomFiles();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Whether the window may close: asks to save unsaved changes.
    bool mayClose();

    void buildMenus();
    QWidget* buildTopPanel();
    QWidget* buildLeftPanel();
    void buildGrid();
    QMenu* addMenu(bool CommandStates::*command);
    QMenu* addSubmenu(QMenu* menu, bool CommandStates::*command);
    QAction* addItem(QMenu* menu, bool CommandStates::*command, void (MainWindow::*slot)());
    void showLanguageMarks(Language language);
    // Over port when one is named, else over the settings' port.
    void runCommunication(comm::TransferKind kind, const std::string& portName = {});
    void showIdentityBoxes();

    Workspace& m_ws;
    Ui& m_ui;
    UserStore& m_store;

    QLineEdit* m_fileNameBox = nullptr;
    QLabel* m_romIndexLabel = nullptr;
    QLabel* m_capacityIndexLabel = nullptr;
    QLineEdit* m_identityBoxes[4] = {}; // model, control mode, capacity, ROM version
    QAction* m_japaneseItem = nullptr;
    QAction* m_englishItem = nullptr;
    QMenu* m_romMenu = nullptr;
    ParameterGridView* m_grid = nullptr;
    ParameterGridModel* m_gridModel = nullptr;
    std::unique_ptr<WorkspaceGridEditing> m_editing;
    std::optional<Language> m_shownLanguage; // the language the window's texts are in
    QPointer<LogViewerDialog> m_logViewer; // the communication log viewer while it is open
    QPointer<SerialTransferDialog> m_transfer; // the communication dialog while it is open
    QLabel* m_statusText = nullptr;

    // ---- find and filter above the grid, counts in the status bar
    GridSearchBar* m_searchBar = nullptr;

    // ---- edit history, recent files, shortcuts and the kept layout
    void showEditStep(int gridRow);
    void showEditHistoryTexts();
    void fillRecentFilesMenu();
    void applyShortcuts(const CommandStates& states);
    void restoreLayout();
    void keepLayout();

    QMenu* m_recentFilesMenu = nullptr;
};

} // namespace tess::gui
