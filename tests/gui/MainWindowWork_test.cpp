#include "app/common/Workspace.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

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
    int oneDecimalRow()
    {
        for (int row = 14; row <= SlotCount; ++row)
            if (!ws().doc.rows.text(row, ColCode).empty() && ws().doc.rows.text(row, ColDecimals) == "1")
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
        if (auto* editor = grid->viewport()->findChild<QLineEdit*>(); editor && editor->isVisible())
            return editor;
        return grid;
    }

    QString cell(int row, int column)
    {
        auto* model = m_form->grid()->model();
        return model->index(row - 1, column).data().toString();
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
            QString::fromStdString(ws().doc.rows.text(row, ColCode)) + QStringLiteral(" data is changed !"));
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
};

QTEST_MAIN(MainWindowWorkTest)
#include "MainWindowWork_test.moc"
