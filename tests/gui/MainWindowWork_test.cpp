#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/journal/TransferJournal.h"
#include "domain/tables/ConversionReport.h"
#include "domain/tables/ValueFormat.h"
#include "gui/app/Application.h"
#include "gui/comm/SerialTransferDialog.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace tess;

// The offline job in the real window on a demo installation: New through the
// selection dialog, editing in the grid, save, close and open again.
class MainWindowWorkTest : public QObject {
    Q_OBJECT

private:
    template <typename T> T* find(const char* name) { return m_form->findChild<T*>(QString::fromLatin1(name)); }
    Workspace& ws() { return m_demo->ws; }

    // New, then in the dialog: the next capacity and OK.
    void newThroughTheDialog()
    {
        bool driven = false;
        QTimer::singleShot(0, m_form.get(), [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            auto* capacity = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox3"));
            capacity->setFocus();
            QTest::keyClick(capacity, Qt::Key_Down);
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("Button1"));
            QVERIFY(ok->isEnabled());
            QTest::mouseClick(ok, Qt::LeftButton);
            driven = true;
        });
        find<QAction>("New1")->trigger();
        QVERIFY(driven);
    }

    // Chooses a menu item and leaves the modal dialog it shows with one of its
    // buttons; the dialog's name.
    QString dialogShownBy(const char* item, const char* button)
    {
        QString shown;
        QTimer::singleShot(0, m_form.get(), [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            shown = dialog->objectName();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
        });
        find<QAction>(item)->trigger();
        return shown;
    }

    // The first value row with one decimal place, away from the rows the
    // rules between parameters read.
    int oneDecimalRow(int from = 14)
    {
        for (int row = from; row <= SlotCount; ++row)
            if (const std::optional<ParameterDef>& def = ws().doc.table.def(row - 1); def && def->decimals == 1)
                return row;
        return 0;
    }

    // Puts the cursor on the value cell of a grid row and types text.
    void typeInto(int row, const QString& text)
    {
        gui::ParameterGridView* grid = m_form->grid();
        auto* model = static_cast<gui::ParameterGridModel*>(grid->model());
        grid->setFocus();
        grid->setCurrentIndex(model->indexOfGridRow(row, ColValue));
        // The first key opens the editor, which then has the focus.
        QTest::keyClicks(grid, text.left(1));
        QTest::keyClicks(keyTarget(), text.mid(1));
    }

    // The open cell editor, or the grid when none is open.
    QWidget* keyTarget()
    {
        gui::ParameterGridView* grid = m_form->grid();
        // An editor closed before may wait beside it to be deleted.
        for (auto* editor : grid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return grid;
    }

    QString cell(int row, int column)
    {
        auto* model = m_form->grid()->model();
        return model->index(row - 1, column).data().toString();
    }

    // New, then 12.5 entered into a value row with one decimal place; the row.
    int newWithAnEntry()
    {
        newThroughTheDialog();
        const int row = oneDecimalRow();
        enterValue(row, QStringLiteral("12.5"));
        return row;
    }

    // A new data set saved as name and closed again; its path.
    std::string savedDataSet(const char* name)
    {
        newThroughTheDialog();
        const std::string path = m_demo->dir.file(name);
        m_demo->ui.fileNames.push_back(path);
        find<QAction>("SaveAs1")->trigger();
        find<QAction>("Close1")->trigger();
        return path;
    }

    // Keys as the user presses them, to whatever has the keyboard. A dialog
    // the keys open is cancelled at once.
    void press(const QKeySequence& keys)
    {
        QTimer dismiss;
        connect(&dismiss, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        dismiss.start(0);
        // The keys of a window work while it is the active one; a dialog
        // that has just gone hands it back through the window manager.
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QWidget* target = QApplication::focusWidget();
        QTest::keySequence(target ? target : m_form.get(), keys);
    }

    // Drags a file onto the window and drops it there when the window takes
    // it; whether it took it.
    bool dropFile(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint where = m_form->grid()->geometry().center();
        QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &drop);
        return drop.isAccepted();
    }

    // The grid rows the grid shows, top to bottom.
    std::vector<int> shownRows()
    {
        auto* model = static_cast<gui::ParameterGridModel*>(m_form->grid()->model());
        std::vector<int> rows;
        for (int i = 0; i < model->rowCount(); ++i)
            rows.push_back(model->gridRow(model->index(i, ColValue)));
        return rows;
    }

    // ---- find and filter above the grid

    QLineEdit* searchBox() { return find<QLineEdit>("FindEdit1"); }
    QString counts() { return find<QLabel>("StatusBar1Counts")->text(); }

    // The parameters whose code, Japanese or English name holds text as
    // written.
    std::vector<int> rowsHolding(const std::string& text)
    {
        std::vector<int> rows;
        const auto holds = [&](std::string_view field) { return field.find(text) != std::string_view::npos; };
        for (int row = 1; row <= SlotCount; ++row) {
            const std::optional<ParameterDef>& def = ws().doc.table.def(row - 1);
            if (def && (holds(def->code) || holds(def->nameJapanese) || holds(def->nameEnglish)))
                rows.push_back(row);
        }
        return rows;
    }

    void enterValue(int row, const QString& text)
    {
        typeInto(row, text);
        QTest::keyClick(keyTarget(), Qt::Key_Return);
    }

    std::unique_ptr<test::DemoWorkspace> m_demo;
    std::unique_ptr<gui::MainWindow> m_form;

private slots:
    void init()
    {
        m_demo = std::make_unique<test::DemoWorkspace>(Language::English);
        m_form = std::make_unique<gui::MainWindow>(m_demo->ws, m_demo->ui, m_demo->store);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_demo.reset();
    }

    void newThroughTheDialogFillsTheGrid()
    {
        newThroughTheDialog();
        QVERIFY(ws().doc.state.open);
        QCOMPARE(m_form->grid()->model()->rowCount(), GridRowsWithTable - 1);
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QStringLiteral("QM71"));
        QCOMPARE(find<QLineEdit>("Edit5")->text(), QStringLiteral("new.csl"));
        QVERIFY(!find<QLineEdit>("Edit4")->text().isEmpty());
        QVERIFY(!find<QToolButton>("SpeedButton1")->isEnabled());
        QVERIFY(find<QAction>("K9")->isEnabled());
        QVERIFY(!find<QAction>("Save1")->isEnabled());
        QCOMPARE(cell(1, ColCode), QStringLiteral("Fund.-0"));
    }

    void enterStoresTheTypedValueAndAnArrowPutsACellBack()
    {
        newThroughTheDialog();
        const int row = oneDecimalRow();
        QVERIFY(row > 0);
        typeInto(row, QStringLiteral("12.5"));
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        QCOMPARE(ws().doc.values[static_cast<std::size_t>(row - 1)], 125);
        QCOMPARE(find<QLabel>("StatusBar1Panel")->text(),
            QString::fromStdString(gridText(ws(), row, ColCode)) + QStringLiteral(" data is changed !"));
        QVERIFY(find<QAction>("Save1")->isEnabled());
        QVERIFY(m_demo->ui.messages.empty());

        const QString shown = cell(row + 1, ColValue);
        typeInto(row + 1, QStringLiteral("9"));
        QTest::keyClick(keyTarget(), Qt::Key_Down);
        QCOMPARE(cell(row + 1, ColValue), shown);
        QVERIFY(m_demo->ui.messages.empty());
    }

    void newAndOpenLeaveTheKeyboardOnTheFirstValue()
    {
        gui::ParameterGridView* grid = m_form->grid();
        const QModelIndex firstValue = grid->model()->index(0, ColValue);
        newThroughTheDialog();
        QCOMPARE(cell(1, ColCode), QStringLiteral("Fund.-0"));
        QCOMPARE(grid->currentIndex(), firstValue);
        // The window manager gives the window back the keyboard once the
        // selection dialog has gone.
        m_form->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), grid);

        m_demo->ui.fileNames.push_back(m_demo->dir.file("pump.csl"));
        find<QAction>("SaveAs1")->trigger();
        find<QAction>("Close1")->trigger();
        QVERIFY(!grid->currentIndex().isValid());
        find<QToolButton>("SpeedButton2")->setFocus(); // as if the user had clicked Open
        m_demo->ui.fileNames.push_back(m_demo->dir.file("pump.csl"));
        find<QAction>("Open1")->trigger();
        QVERIFY(ws().doc.state.open);
        QCOMPARE(grid->currentIndex(), firstValue);
        QTRY_COMPARE(QApplication::focusWidget(), grid);
    }

    void draggedColumnWidthsOutliveDocumentsAndLanguages()
    {
        gui::ParameterGridView* grid = m_form->grid();
        auto* frozen = grid->findChild<QTableView*>(QStringLiteral("StringGrid1Frozen"));
        QHeaderView* header = frozen->horizontalHeader();
        const int rangeWidth = grid->columnWidth(ColRange);
        const int edge = header->sectionViewportPosition(ColRange) + rangeWidth - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QTest::mouseMove(header->viewport(), QPoint(edge + 50, y));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 50, y));
        QCOMPARE(grid->columnWidth(ColRange), rangeWidth + 50);

        newThroughTheDialog();
        QCOMPARE(grid->columnWidth(ColRange), rangeWidth + 50);
        // A language sets the width of the name column only.
        find<QAction>("KJ1")->trigger();
        QCOMPARE(grid->columnWidth(ColName), 3 * gui::ParameterGridView::DefaultColumnWidth);
        QCOMPARE(grid->columnWidth(ColRange), rangeWidth + 50);
    }

    void ctrlClickOnTheStatusBarRevealsTheRomMenu()
    {
        QMenu* rom = find<QMenu>("ROM1");
        QTest::mouseClick(m_form->statusBar(), Qt::LeftButton);
        QTest::mouseClick(m_form->statusBar(), Qt::RightButton, Qt::ControlModifier);
        QVERIFY(!rom->menuAction()->isVisible());
        QTest::mouseClick(m_form->statusBar(), Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(rom->menuAction()->isVisible());

        // The add-version-file dialog's Close hides the menu again.
        QCOMPARE(dialogShownBy("N5", "Button3"), QStringLiteral("addROM"));
        QVERIFY(!rom->menuAction()->isVisible());
    }

    void aboutOpensTheAboutBox() { QCOMPARE(dialogShownBy("K7", "OKButton"), QStringLiteral("AboutBox")); }

    void communicationSettingsAreTakenByClose()
    {
        QCOMPARE(dialogShownBy("K5", "Button2"), QStringLiteral("ComSetForm"));
        QCOMPARE(m_demo->store.readString(UserValueCom), std::string("COM1"));
        QCOMPARE(ws().settings.portName, std::string("COM1"));
    }

    void saveCloseAndOpenAgainThroughRealFiles()
    {
        newThroughTheDialog();
        const int row = oneDecimalRow();
        typeInto(row, QStringLiteral("12.5"));
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        const ParameterSet values = ws().doc.values;
        const std::string path = m_demo->dir.file("pump.csl");

        m_demo->ui.fileNames.push_back(path);
        find<QAction>("SaveAs1")->trigger();
        QVERIFY(ws().doc.state.saved);
        QVERIFY(!find<QAction>("Save1")->isEnabled());
        find<QAction>("Close1")->trigger();
        QVERIFY(m_demo->ui.questions.empty());
        QCOMPARE(m_form->grid()->model()->rowCount(), GridRowsEmpty - 1);
        QVERIFY(find<QLineEdit>("Edit1")->text().isEmpty());

        m_demo->ui.fileNames.push_back(path);
        find<QAction>("Open1")->trigger();
        QVERIFY(ws().doc.state.open);
        QVERIFY(ws().doc.values == values);
        QCOMPARE(cell(row, ColValue), QStringLiteral("12.5"));
        QCOMPARE(find<QLineEdit>("Edit5")->text(), QString::fromStdString(path));
        QVERIFY(m_demo->ui.messages.empty());
    }

    void comparingAFileShowsItBesideTheOpenOne()
    {
        newThroughTheDialog();
        const int row = oneDecimalRow();
        const std::string path = m_demo->dir.file("pump.csl");
        m_demo->ui.fileNames.push_back(path);
        find<QAction>("SaveAs1")->trigger();
        find<QAction>("Close1")->trigger();
        m_demo->ui.fileNames.push_back(path); // only an opened data set can be compared
        find<QAction>("Open1")->trigger();
        typeInto(row, QStringLiteral("12.5"));
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        const ParameterSet values = ws().doc.values;

        m_demo->ui.fileNames.push_back(path);
        find<QAction>("F1")->trigger();
        QVERIFY(ws().doc.state.compareMode);
        QCOMPARE(find<QLineEdit>("Edit5")->text(), QString::fromStdString(path));
        QCOMPARE(
            m_form->grid()->model()->headerData(ColFigures, Qt::Horizontal).toString(), QStringLiteral("Judgment"));
        QCOMPARE(cell(row, ColFigures), QStringLiteral("@"));
        QCOMPARE(cell(row + 1, ColFigures), QString());
        QVERIFY(ws().doc.values == values);
        // A comparison is for looking only.
        QVERIFY(!(m_form->grid()->model()->index(row - 1, ColValue).flags() & Qt::ItemIsEditable));

        m_demo->ui.answers.push_back(Answer::No);
        find<QAction>("Close1")->trigger();
        QVERIFY(!ws().doc.state.compareMode);
        QCOMPARE(
            m_form->grid()->model()->headerData(ColFigures, Qt::Horizontal).toString(), QStringLiteral("Signif. fig."));
    }

    // Ctrl+W ends a comparison as one ends a look: the data set compared
    // stays open, unasked; outside a comparison the key is Close again.
    void ctrlWEndsAComparisonAndKeepsTheDataSetOpen()
    {
        const std::string path = savedDataSet("pump.csl");
        m_demo->ui.fileNames.push_back(path); // only an opened data set can be compared
        find<QAction>("Open1")->trigger();
        const int row = oneDecimalRow();
        enterValue(row, QStringLiteral("12.5"));
        m_demo->ui.fileNames.push_back(path);
        find<QAction>("F1")->trigger();
        QVERIFY(ws().doc.state.compareMode);

        const auto ctrlW = [&] {
            m_form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
            QTest::keyClick(m_form.get(), Qt::Key_W, Qt::ControlModifier);
        };
        const std::size_t asked = m_demo->ui.questions.size();
        ctrlW();
        QVERIFY(!ws().doc.state.compareMode);
        QVERIFY(ws().doc.state.open);
        QCOMPARE(m_demo->ui.questions.size(), asked);
        QCOMPARE(cell(row, ColValue), QStringLiteral("12.5"));
        QCOMPARE(
            m_form->grid()->model()->headerData(ColFigures, Qt::Horizontal).toString(), QStringLiteral("Signif. fig."));
        QVERIFY(find<QAction>("Save1")->isEnabled());

        m_demo->ui.answers.push_back(Answer::No);
        ctrlW();
        QVERIFY(!ws().doc.state.open);
    }

    // Compare with drive on a transfer of the history opens its data set and
    // the comparison's transfer dialog on the port the transfer used; the
    // settings keep their own port.
    void compareWithDriveOnATransferOpensItsDataSetAndTheComparison()
    {
        newThroughTheDialog();
        const std::string path = m_demo->dir.file("pump7.csl");
        m_demo->ui.fileNames.push_back(path);
        find<QAction>("SaveAs1")->trigger();
        find<QAction>("Close1")->trigger();
        ws().settings.portName = "COM1";
        ws().settings.journalFolder = m_demo->dir.file("journal");
        {
            journal::TransferJournal journal(ws().settings.journalFolder, "2026-12-11T02-00-00.000Z-write-7.jsonl");
            journal::JournalHeader h;
            h.port = "/dev/ttyUSB5";
            h.device = "/dev/ttyUSB5";
            h.dataFile = path;
            journal.header(h);
            journal.end(journal::JournalEnd::Done);
        }

        std::optional<comm::TransferKind> kind;
        QString portShown;
        QTimer watch;
        watch.setInterval(10);
        bool chosen = false;
        QObject::connect(&watch, &QTimer::timeout, m_form.get(), [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            if (auto* transfer = qobject_cast<gui::SerialTransferDialog*>(dialog)) {
                watch.stop();
                kind = transfer->transfer().kind();
                portShown = transfer->findChild<QLabel*>(QStringLiteral("TransferPort"))->text();
                QTest::mouseClick(transfer->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
                return;
            }
            if (chosen || dialog->objectName() != QStringLiteral("TransferHistoryForm"))
                return;
            chosen = true;
            auto* grid = dialog->findChild<QTableWidget*>(QStringLiteral("TransferGrid"));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(0, 1)).center());
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CompareDriveButton")), Qt::LeftButton);
        });
        watch.start();
        find<QAction>("TransferHistory1")->trigger();

        QCOMPARE(kind, std::optional(comm::TransferKind::CompareWithDrive));
        QVERIFY2(portShown.contains(QStringLiteral("/dev/ttyUSB5")), qPrintable(portShown));
        QCOMPARE(ws().doc.state.fileName, path);
        QCOMPARE(ws().settings.portName, std::string("COM1"));
    }

    void languageSwitchRelabelsTheOpenDocument()
    {
        newThroughTheDialog();
        // A command keeps the width the user gave the window; only the
        // language sets it.
        m_form->resize(1000, m_form->height());
        m_form->refreshFromCore();
        QCOMPARE(m_form->width(), 1000);
        const QString englishName = cell(1, ColName);
        find<QAction>("KJ1")->trigger();
        QCOMPARE(m_form->width(), 945);
        QVERIFY(find<QAction>("KJ1")->isChecked());
        QVERIFY(!find<QAction>("KE1")->isChecked());
        QVERIFY(cell(1, ColName) != englishName);
        QCOMPARE(m_form->grid()->model()->headerData(ColValue, Qt::Horizontal).toString(), QStringLiteral("設定値"));
        QVERIFY(ws().doc.state.saved);
    }

    // ---- Undo and Redo, the keys of the commands, recent files, drops and
    // the command line

    void undoAndRedoPutBackTheValueAndTheSavedState()
    {
        newThroughTheDialog();
        m_demo->ui.fileNames.push_back(m_demo->dir.file("pump.csl"));
        find<QAction>("SaveAs1")->trigger();
        const int row = oneDecimalRow();
        const QString shown = cell(row, ColValue);
        const ParameterSet values = ws().doc.values;
        enterValue(row, QStringLiteral("12.5"));
        QVERIFY(find<QAction>("Save1")->isEnabled());
        QVERIFY(find<QAction>("Undo1")->isEnabled());
        QVERIFY(!find<QAction>("Redo1")->isEnabled());
        m_form->grid()->setCurrentIndex(m_form->grid()->model()->index(0, ColValue)); // elsewhere

        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(cell(row, ColValue), shown);
        QVERIFY(ws().doc.values == values);
        QVERIFY(ws().doc.state.saved);
        QVERIFY(!find<QAction>("Save1")->isEnabled());
        QVERIFY(!find<QAction>("Undo1")->isEnabled());
        QVERIFY(find<QAction>("Redo1")->isEnabled());
        QCOMPARE(m_form->grid()->currentIndex().row(), row - 1); // the cell put back

        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(cell(row, ColValue), QStringLiteral("12.5"));
        QCOMPARE(ws().doc.values[static_cast<std::size_t>(row - 1)], 125);
        QVERIFY(find<QAction>("Save1")->isEnabled());
        QVERIFY(!find<QAction>("Redo1")->isEnabled());

        // Saved with the entry, an undo leaves the file behind.
        press(QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(!find<QAction>("Save1")->isEnabled());
        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(cell(row, ColValue), shown);
        QVERIFY(find<QAction>("Save1")->isEnabled());
        QVERIFY(!ws().doc.state.saved);
        QVERIFY(m_demo->ui.messages.empty());
    }

    void undoSaysWhyItIsOffAfterALanguageSwitch()
    {
        const int row = newWithAnEntry();
        QAction* undo = find<QAction>("Undo1");
        QAction* redo = find<QAction>("Redo1");

        find<QAction>("KJ1")->trigger();
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("元に戻す（言語の切り替えで履歴を消去）"));
        QCOMPARE(redo->text(), QStringLiteral("やり直し（言語の切り替えで履歴を消去）"));
        find<QAction>("KE1")->trigger();
        QCOMPARE(undo->text(), QStringLiteral("Undo (history cleared by the language switch)"));
        QCOMPARE(redo->text(), QStringLiteral("Redo (history cleared by the language switch)"));
        QCOMPARE(cell(row, ColValue), QStringLiteral("12.5"));

        // The next entry can be taken back under the usual caption.
        enterValue(row, QStringLiteral("13.5"));
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo(&U)"));
    }

    void changedFilterFollowsUndoAndRedo()
    {
        const int row = newWithAnEntry();
        auto* changedOnly = find<QCheckBox>("ChangedCheckBox1");
        QVERIFY(changedOnly);
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QCOMPARE(shownRows(), std::vector<int> {row});

        press(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(shownRows().empty()); // the default again: no longer changed
        press(QKeySequence(Qt::CTRL | Qt::Key_Y));
        QCOMPARE(shownRows(), std::vector<int> {row});
        QCOMPARE(cell(1, ColValue), QStringLiteral("12.5")); // the one row shown
    }

    // Each key works exactly while its item does, and the menu shows it.
    void keysFollowTheirItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("withAnEntry"); // the item is enabled while a new data set has an entry
        QTest::addColumn<bool>("withoutDocument");
        QTest::newRow("New") << "New1" << QKeySequence(Qt::CTRL | Qt::Key_N) << true << true;
        QTest::newRow("Open") << "Open1" << QKeySequence(Qt::CTRL | Qt::Key_O) << true << true;
        QTest::newRow("Save") << "Save1" << QKeySequence(Qt::CTRL | Qt::Key_S) << true << false;
        QTest::newRow("Save As") << "SaveAs1" << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) << true << false;
        QTest::newRow("Print") << "Print1" << QKeySequence(Qt::CTRL | Qt::Key_P) << true << false;
        QTest::newRow("Close") << "Close1" << QKeySequence(Qt::CTRL | Qt::Key_W) << true << false;
        QTest::newRow("Exit") << "Exit1" << QKeySequence(Qt::CTRL | Qt::Key_Q) << true << true;
        QTest::newRow("Undo") << "Undo1" << QKeySequence(Qt::CTRL | Qt::Key_Z) << true << false;
        QTest::newRow("Redo") << "Redo1" << QKeySequence(Qt::CTRL | Qt::Key_Y) << false << false;
    }

    void keysFollowTheirItems()
    {
        QFETCH(QString, item);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, withAnEntry);
        QFETCH(bool, withoutDocument);
        QAction* action = find<QAction>(qPrintable(item));
        QCOMPARE(action->shortcut(), keys);

        newThroughTheDialog();
        m_demo->ui.fileNames.push_back(m_demo->dir.file("pump.csl"));
        find<QAction>("SaveAs1")->trigger();
        enterValue(oneDecimalRow(), QStringLiteral("12.5"));
        QSignalSpy triggered(action, &QAction::triggered);
        // The save prompt of Close and Exit, and the save dialog of Save As,
        // are cancelled: the data set stays for the next key.
        press(keys);
        QCOMPARE(triggered.count(), withAnEntry ? 1 : 0);

        m_demo->ui.answers.push_back(Answer::No);
        find<QAction>("Close1")->trigger();
        QVERIFY(!ws().doc.state.open);
        triggered.clear();
        press(keys);
        QCOMPARE(triggered.count(), withoutDocument ? 1 : 0);
    }

    void recentFilesOfferWhatWasSavedAndOpened()
    {
        QMenu* recent = find<QMenu>("Recent1");
        QVERIFY(!recent->menuAction()->isEnabled());
        const std::string path = savedDataSet("pump.csl");
        QVERIFY(recent->menuAction()->isEnabled());
        emit recent->aboutToShow();
        QAction* first = find<QAction>("RecentFile1");
        QVERIFY(first);
        QCOMPARE(first->text(), QStringLiteral("&1 ") + gui::fromPath(path));
        QVERIFY(!find<QAction>("RecentFile2"));

        first->trigger();
        QVERIFY(ws().doc.state.open);
        QCOMPARE(find<QLineEdit>("Edit5")->text(), gui::fromPath(path));
    }

    void droppingADataSetFileOpensItAfterTheSavePrompt()
    {
        const std::string path = savedDataSet("pump.csl");
        newWithAnEntry();

        QVERIFY(!dropFile(gui::fromPath(m_demo->dir.file("notes.txt"))));
        m_demo->ui.answers.push_back(Answer::No);
        QVERIFY(dropFile(gui::fromPath(path)));
        QTRY_COMPARE(ws().doc.state.fileName, path);
        QCOMPARE(m_demo->ui.questions.size(), std::size_t(1));
        QVERIFY(ws().doc.state.saved);
        QCOMPARE(find<QLineEdit>("Edit5")->text(), gui::fromPath(path));
        QVERIFY(m_demo->ui.messages.empty());
    }

    void aFileNamedOnTheCommandLineOpensOnceTheWindowRuns()
    {
        const std::string path = savedDataSet("pump.csl");
        gui::openFileNamedAtStart(*m_form, {QStringLiteral("tessaline"), gui::fromPath(path)});
        QVERIFY(!ws().doc.state.open);
        QTRY_VERIFY(ws().doc.state.open);
        QCOMPARE(find<QLineEdit>("Edit5")->text(), gui::fromPath(path));
        QCOMPARE(m_form->grid()->currentIndex(), m_form->grid()->model()->index(0, ColValue));
    }

    // ---- Find and filter above the grid, F3 through a comparison

    void searchNarrowsTheGridAsOneTypesAndEscapeClears_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inputMethod");
        QTest::addColumn<QString>("heldAs"); // the text the rows hold
        QTest::newRow("code, typed key by key") << QStringLiteral("B-1") << false << QStringLiteral("B-1");
        QTest::newRow("Japanese name while English is shown")
            << QStringLiteral("多段速度") << true << QStringLiteral("多段速度");
        QTest::newRow("half-width kana for full-width")
            << QStringLiteral("ﾓｰﾀ定格") << true << QStringLiteral("モータ定格");
    }

    void searchNarrowsTheGridAsOneTypesAndEscapeClears()
    {
        QFETCH(QString, typed);
        QFETCH(bool, inputMethod);
        QFETCH(QString, heldAs);
        newThroughTheDialog();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        const std::vector<int> every = shownRows();
        QCOMPARE(int(every.size()), GridRowsWithTable - 1);
        QCOMPARE(counts(), QStringLiteral("665 rows, 0 changed from default"));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), searchBox());
        if (inputMethod) {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(searchBox(), &commit);
        } else {
            QTest::keyClicks(searchBox(), typed);
        }

        const std::vector<int> expected = rowsHolding(heldAs.toStdString());
        QVERIFY(expected.size() > 1);
        QCOMPARE(shownRows(), expected);
        QCOMPARE(counts(), QStringLiteral("%1 rows, 0 changed from default").arg(expected.size()));
        // The rows keep their codes.
        QCOMPARE(m_form->grid()->model()->index(0, ColCode).data().toString(),
            QString::fromStdString(gridText(ws(), expected.front(), ColCode)));

        QTest::keyClick(searchBox(), Qt::Key_Escape);
        QVERIFY(searchBox()->text().isEmpty());
        QCOMPARE(shownRows(), every);
    }

    // A value its row does not allow, as a damaged file brings it: red in
    // the grid and counted in the status bar until a value the row takes
    // is entered.
    void valueOutsideItsRowIsRedAndCountedUntilEntered()
    {
        newThroughTheDialog();
        const int row = oneDecimalRow();
        const std::optional<ParameterDef>& def = ws().doc.table.def(row - 1);
        const std::optional<tables::UnitRange> range = tables::parseRange(def->rangeText, def->decimals);
        QVERIFY(range && range->high < 32767);
        ws().doc.values[static_cast<std::size_t>(row - 1)] = 32767;
        m_form->refreshFromCore();
        auto* model = static_cast<gui::ParameterGridModel*>(m_form->grid()->model());
        const auto colour
            = [&] { return model->indexOfGridRow(row, ColValue).data(Qt::ForegroundRole).value<QColor>(); };
        QCOMPARE(colour(), gui::ParameterGridModel::notAllowedValueColour());
        QCOMPARE(counts(), QStringLiteral("665 rows, 1 changed from default, 1 outside its table row"));

        enterValue(row, QString::fromStdString(tables::formatUnits(range->low, def->decimals)));
        QCOMPARE(colour(), QColor(Qt::white));
        QVERIFY(!counts().contains(QStringLiteral("outside")));
    }

    void changedFilterFollowsTheEntries()
    {
        newThroughTheDialog();
        auto* changedOnly = find<QCheckBox>("ChangedCheckBox1");
        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QVERIFY(changedOnly->isChecked());
        QVERIFY(shownRows().empty()); // a new data set holds its defaults
        QTest::mouseClick(changedOnly, Qt::LeftButton);

        const int row = oneDecimalRow();
        const QString byDefault = cell(row, ColDefault);
        enterValue(row, QStringLiteral("12.5"));
        QCOMPARE(ws().doc.values[static_cast<std::size_t>(row - 1)], 125);
        const auto bold = [&](int gridRow) {
            auto* model = static_cast<gui::ParameterGridModel*>(m_form->grid()->model());
            return model->indexOfGridRow(gridRow, ColValue).data(Qt::FontRole).value<QFont>().bold();
        };
        QVERIFY(bold(row));
        QVERIFY(!bold(row + 1));
        QCOMPARE(counts(), QStringLiteral("665 rows, 1 changed from default"));

        QTest::mouseClick(changedOnly, Qt::LeftButton);
        QCOMPARE(shownRows(), std::vector<int> {row});
        QCOMPARE(counts(), QStringLiteral("1 row, 1 changed from default"));

        // Its default entered again, the row is no longer changed and leaves.
        enterValue(row, byDefault);
        QVERIFY(shownRows().empty());
        QCOMPARE(counts(), QStringLiteral("0 rows, 0 changed from default"));
    }

    void editingAFilteredRowStoresIntoItsParameter()
    {
        newThroughTheDialog();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        const int row = oneDecimalRow(200);
        const ParameterSet before = ws().doc.values;

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(searchBox(), QString::fromStdString(gridText(ws(), row, ColCode)));
        QCOMPARE(shownRows().front(), row);
        // Return goes on to the grid, whose cursor moved to the first row found.
        QTest::keyClick(searchBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), m_form->grid());
        auto* model = static_cast<gui::ParameterGridModel*>(m_form->grid()->model());
        QCOMPARE(model->gridRow(m_form->grid()->currentIndex()), row);
        enterValue(row, QStringLiteral("12.5"));

        ParameterSet expected = before;
        expected[static_cast<std::size_t>(row - 1)] = 125;
        QVERIFY(ws().doc.values == expected);
        QVERIFY(m_demo->ui.messages.empty());
        QCOMPARE(QString::fromStdString(gridText(ws(), row, ColValue)), QStringLiteral("12.5"));
    }

    void areaJumpsWorkOnTheRowsShown()
    {
        newThroughTheDialog();
        searchBox()->setFocus();
        QTest::keyClicks(searchBox(), QStringLiteral("-1"));
        gui::ParameterGridView* grid = m_form->grid();
        grid->setFocus();
        const auto firstShownFrom = [&](int area) {
            const std::vector<int> rows = shownRows();
            return *std::lower_bound(rows.begin(), rows.end(), ws().doc.table.areaFirst[std::size_t(area)] + 1);
        };

        QTest::keyClick(grid, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(grid->topGridRow(), firstShownFrom(1));
        QTest::keyClick(grid, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(grid->topGridRow(), firstShownFrom(2));
        QTest::keyClick(grid, Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(grid->topGridRow(), firstShownFrom(1));
    }

    void f3StepsThroughTheDifferencesOfAComparison()
    {
        const std::string path = savedDataSet("pump.csl");
        m_demo->ui.fileNames.push_back(path); // only an opened data set can be compared
        find<QAction>("Open1")->trigger();
        const int first = oneDecimalRow();
        const int second = oneDecimalRow(300);
        enterValue(first, QStringLiteral("12.5"));
        enterValue(second, QStringLiteral("12.5"));
        auto* differencesOnly = find<QCheckBox>("DifferencesCheckBox1");
        QVERIFY(!differencesOnly->isVisible());

        m_demo->ui.fileNames.push_back(path);
        find<QAction>("F1")->trigger();
        QVERIFY(ws().doc.state.compareMode);
        QCOMPARE(counts(), QStringLiteral("665 rows, 2 changed from default, 2 differences"));
        auto* model = static_cast<gui::ParameterGridModel*>(m_form->grid()->model());
        QCOMPARE(model->indexOfGridRow(first, ColName).data(Qt::BackgroundRole).value<QColor>(),
            gui::ParameterGridModel::differenceTint());
        QVERIFY(!model->indexOfGridRow(first + 1, ColName).data(Qt::BackgroundRole).isValid());
        QCOMPARE(cell(first, ColFigures), QStringLiteral("@"));

        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->grid()->setFocus();
        const auto current = [&] { return model->gridRow(m_form->grid()->currentIndex()); };
        const auto stepWith = [](Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3, modifiers);
        };
        stepWith(Qt::NoModifier);
        QCOMPARE(current(), first);
        stepWith(Qt::NoModifier);
        QCOMPARE(current(), second);
        stepWith(Qt::NoModifier);
        QCOMPARE(current(), first); // round from the last to the first
        stepWith(Qt::ShiftModifier);
        QCOMPARE(current(), second);
        stepWith(Qt::ShiftModifier);
        QCOMPARE(current(), first);

        QVERIFY(differencesOnly->isVisible());
        QTest::mouseClick(differencesOnly, Qt::LeftButton);
        QCOMPARE(shownRows(), (std::vector<int> {first, second}));

        m_demo->ui.answers.push_back(Answer::No);
        find<QAction>("Close1")->trigger();
        QVERIFY(!differencesOnly->isVisible());
        QVERIFY(!differencesOnly->isChecked());
        QVERIFY(counts().isEmpty());
    }
};

QTEST_MAIN(MainWindowWorkTest)
#include "MainWindowWork_test.moc"
