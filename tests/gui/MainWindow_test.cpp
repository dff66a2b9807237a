#include "app/startup/Startup.h"
#include "domain/journal/TransferJournal.h"
#include "domain/settings/IniFile.h"
#include "domain/settings/UserStore.h"
#include "gui/common/MessageBox.h"
#include "gui/common/QtUi.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/ParameterGridView.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace tess;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    // A fresh installation and a window started on it in the language.
    void start(Language language)
    {
        m_form.reset();
        m_dir = std::make_unique<test::TempDir>();
        test::writeFile(m_dir->file("FileVersion.INI"), "[View]\r\nValue=0\r\n[spcialfunc]\r\nused=1\r\n");
        m_ws = std::make_unique<Workspace>();
        m_store.writeInteger("EIGO", language == Language::English ? 1 : 0);
        startUp(*m_ws, m_ui, m_store, StartupEnvironment {m_dir->file("tessaline"), "", "", ""});
        m_form = std::make_unique<gui::MainWindow>(*m_ws, m_ui, m_store);
        m_form->show();
    }
    template <typename T> T* find(const char* name) { return m_form->findChild<T*>(QString::fromLatin1(name)); }
    bool enabled(const char* name)
    {
        if (auto* menu = find<QMenu>(name))
            return menu->menuAction()->isEnabled();
        if (auto* action = find<QAction>(name))
            return action->isEnabled();
        return find<QToolButton>(name)->isEnabled();
    }

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
    test::FakeUi m_ui;
    MemoryUserStore m_store;
    std::unique_ptr<gui::MainWindow> m_form;
    const QFont m_systemFont = QApplication::font();

private slots:
    void cleanup()
    {
        m_form.reset();
        QApplication::setFont(m_systemFont);
    }

    void startsWithNoDocumentAndTheStartCommandStates()
    {
        start(Language::English);
        QVERIFY(!m_ws->doc.state.open);
        QVERIFY(find<QLineEdit>("Edit5")->text().isEmpty());
        for (const char* on : {"New1", "SpeedButton1", "Open1", "SpeedButton2", "Exit1", "K2", "SpeedButton5", "K5",
                 "K8", "SpeedButton7", "KJ1", "KE1", "K7"})
            QVERIFY2(enabled(on), on);
        for (const char* off : {"Save1", "SaveAs1", "SpeedButton3", "Close1", "SpeedButton4", "F1", "SpeedButton9",
                 "Print1", "SpeedButton10", "K3", "SpeedButton6", "K9", "SpeedButton8"})
            QVERIFY2(!enabled(off), off);
        QVERIFY(!find<QMenu>("ROM1")->menuAction()->isVisible());
        QVERIFY(find<QAction>("KE1")->isChecked());
        QVERIFY(!find<QAction>("KJ1")->isChecked());
    }

    void captionNamesTheVersion()
    {
        start(Language::Japanese);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("71Series Tessaline Version 4.50"));
    }

    void languageLayout_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("column1");
        QTest::addColumn<QString>("valueTitle");
        QTest::addColumn<QString>("compareHint");
        QTest::newRow("Japanese") << false << 945 << 222 << QStringLiteral("設定値") << QStringLiteral("ﾌｧｲﾙｺﾝﾍﾟｱ");
        QTest::newRow("English") << true << 870 << 148 << QStringLiteral("Setting val.")
                                 << QStringLiteral("FileCompare");
    }

    void languageLayout()
    {
        QFETCH(bool, english);
        QFETCH(int, width);
        QFETCH(int, column1);
        QFETCH(QString, valueTitle);
        QFETCH(QString, compareHint);
        start(english ? Language::English : Language::Japanese);
        QCOMPARE(m_form->width(), width);
        auto* grid = find<QTableView>("StringGrid1");
        QCOMPARE(grid->horizontalHeader()->sectionSize(1), column1);
        for (int col : {0, 3, 4, 5, 6})
            QCOMPARE(grid->horizontalHeader()->sectionSize(col), 74);
        QCOMPARE(grid->horizontalHeader()->sectionSize(2), 222);
        QCOMPARE(grid->verticalHeader()->defaultSectionSize(), 24);
        QCOMPARE(grid->model()->columnCount(), 7);
        QCOMPARE(grid->model()->rowCount(), 19); // grid rows 1..19; row 0 is the header
        QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), valueTitle);
        QCOMPARE(find<QToolButton>("SpeedButton9")->toolTip(), compareHint);
        QCOMPARE(find<QAction>("KJ1")->isChecked(), !english);
    }

    void controlsCarryTheirNames()
    {
        start(Language::English);
        for (const char* name : {"File1", "New1", "Open1", "Save1", "SaveAs1", "Close1", "F1", "Print1", "Exit1", "K1",
                 "K2", "K3", "K4", "K5", "K8", "K9", "KL1", "KJ1", "KE1", "K6", "K7", "ROM1", "N5", "Edit1", "Edit2",
                 "Edit3", "Edit4", "Edit5", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7",
                 "StringGrid1", "StatusBar1"})
            QVERIFY2(m_form->findChild<QObject*>(QString::fromLatin1(name)), name);
        for (int i = 1; i <= 10; ++i) {
            auto* button = m_form->findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(i));
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(25, 25));
        }
        QVERIFY(!find<QLabel>("Label6")->isVisible());
        QVERIFY(!find<QLabel>("Label7")->isVisible());
        QCOMPARE(find<QLabel>("Label1")->text(), QStringLiteral("Machine:"));
    }

    void exitWithoutDocumentClosesAndClearsSpecialFunctions()
    {
        start(Language::English);
        QVERIFY(m_ws->settings.fileVersion.specialFunctions);
        find<QAction>("Exit1")->trigger();
        QVERIFY(!m_form->isVisible());
        QVERIFY(m_ui.questions.empty());
        QVERIFY(!IniFile::load(m_dir->file("FileVersion.INI")).readBool("spcialfunc", "used", true));
    }

    void cancellingTheSavePromptKeepsTheWindowAndTheSwitch()
    {
        start(Language::English);
        m_ws->doc.state.fileName = "a.csl";
        m_ws->doc.state.saved = false;
        m_ui.answers.push_back(Answer::Cancel);
        QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_ui.questions.back().inLanguage(), std::string("Do you save a.csl?"));
        QVERIFY(IniFile::load(m_dir->file("FileVersion.INI")).readBool("spcialfunc", "used", false));
        m_ws->doc.state.saved = true; // lets cleanup close it
    }

    // The system font stands for what the locale makes of the default font:
    // a Japanese face under LANG=ja_JP.UTF-8, a Latin one elsewhere.
    void frozenColumnsFollowTheWindowFontAndRows_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("systemFamily");
        QTest::newRow("English UI, Japanese system font") << true << QStringLiteral("Noto Sans CJK JP");
        QTest::newRow("Japanese UI, Latin system font") << false << QStringLiteral("DejaVu Sans");
    }

    void frozenColumnsFollowTheWindowFontAndRows()
    {
        QFETCH(bool, english);
        QFETCH(QString, systemFamily);
        QApplication::setFont(QFont(systemFamily, 9));
        start(english ? Language::English : Language::Japanese);
        auto* grid = find<QTableView>("StringGrid1");
        auto* frozen = find<QTableView>("StringGrid1Frozen");
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

        // Then the other language, as the menu switches it.
        for (const char* item : {english ? "KE1" : "KJ1", english ? "KJ1" : "KE1"}) {
            find<QAction>(item)->trigger();
            const QString family = m_form->font().family();
            QCOMPARE(grid->font().family(), family);
            QCOMPARE(frozen->font().family(), family);
            QCOMPARE(frozen->horizontalHeader()->font().family(), family);
            QCOMPARE(grid->horizontalHeader()->font().family(), family);
            QCoreApplication::processEvents();
            for (const int row : {0, 7, 18}) {
                const QRect code = frozen->visualRect(frozen->model()->index(row, ColCode));
                const QRect value = grid->visualRect(grid->model()->index(row, ColValue));
                QCOMPARE(frozen->viewport()->mapTo(grid, code.topLeft()).y(),
                    grid->viewport()->mapTo(grid, value.topLeft()).y());
                QCOMPARE(code.height(), value.height());
            }
        }
    }

    void qtOwnTextsFollowTheLanguage()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm")))
            QSKIP("Qt's Japanese catalogue (qt6-translations-l10n) is not installed");
        const auto yesText = [] {
            QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
            return box.button(QDialogButtonBox::Yes)->text();
        };
        start(Language::Japanese);
        QVERIFY2(yesText().contains(QStringLiteral("はい")), qPrintable(yesText()));
        find<QAction>("KE1")->trigger();
        QCOMPARE(yesText(), QStringLiteral("&Yes"));
        find<QAction>("KJ1")->trigger();
        QVERIFY2(yesText().contains(QStringLiteral("はい")), qPrintable(yesText()));
        find<QAction>("KE1")->trigger();
    }

    // Where the window stood, its size and the widths the user gave the
    // columns come back in the next run on the same store; a width left as
    // it was still follows the language.
    void layoutComesBackInTheNextRun()
    {
        test::TempDir dir;
        test::writeFile(dir.file("FileVersion.INI"), "[View]\r\nValue=0\r\n");
        MemoryUserStore store;
        struct Run {
            Workspace ws;
            std::unique_ptr<gui::MainWindow> form;
        };
        const auto run = [&](Language language) {
            auto next = std::make_unique<Run>();
            store.writeInteger(UserValueEigo, language == Language::English ? 1 : 0);
            startUp(next->ws, m_ui, store, StartupEnvironment {dir.file("tessaline"), "", "", ""});
            next->form = std::make_unique<gui::MainWindow>(next->ws, m_ui, store);
            next->form->show();
            return next;
        };
        const auto columnWidth = [](const Run& r, int column) { return r.form->grid()->columnWidth(column); };

        auto first = run(Language::English);
        QVERIFY(QTest::qWaitForWindowExposed(first->form.get()));
        first->form->move(40, 30);
        first->form->resize(700, 500);
        first->form->grid()->setColumnWidth(ColRange, 272);
        QVERIFY(first->form->close());
        first.reset();

        auto second = run(Language::English);
        QCOMPARE(second->form->pos(), QPoint(40, 30));
        QCOMPARE(second->form->size(), QSize(700, 500));
        QCOMPARE(columnWidth(*second, ColRange), 272);
        QCOMPARE(columnWidth(*second, ColName), 148);
        QVERIFY(second->form->close());
        second.reset();

        auto japanese = run(Language::Japanese);
        QCOMPARE(columnWidth(*japanese, ColName), 222);
        QCOMPARE(columnWidth(*japanese, ColRange), 272);
        QCOMPARE(japanese->form->size(), QSize(700, 500));
    }

    // File > Transfer History lists the journals; a click on a transfer
    // shows its words with their outcomes.
    void transferHistoryShowsTheChosenTransfersWords()
    {
        start(Language::English);
        m_ws->settings.journalFolder = m_dir->file("journal");
        {
            journal::TransferJournal journal(m_ws->settings.journalFolder, "20261211T020000.000Z-write-7.jsonl");
            journal::JournalHeader h;
            h.utcTime = "2026-12-11T02:00:00Z";
            h.port = "COM1";
            h.dataFile = m_dir->file("pump7.csl");
            journal.header(h);
            journal.wordAnnounced(0, "Fund.-0", 100);
            journal.wordSettled(0, "Fund.-0", comm::WordOutcome::Taken, "");
        }
        int rows = -1;
        QString words;
        QTimer::singleShot(0, m_form.get(), [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            auto* grid = dialog->findChild<QTableWidget*>(QStringLiteral("TransferGrid"));
            rows = grid->rowCount();
            if (rows > 0)
                QTest::mouseClick(
                    grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(0, 1)).center());
            words = dialog->findChild<QPlainTextEdit*>(QStringLiteral("TransferWords"))->toPlainText();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CloseButton")), Qt::LeftButton);
        });
        find<QAction>("TransferHistory1")->trigger();

        QCOMPARE(rows, 1);
        QCOMPARE(words, QStringLiteral("Fund.-0 = 100: taken"));
    }

    void qtUiAnswersFromTheTestHooks()
    {
        gui::QtUi ui;
        gui::MessageBox::clearTexts();
        gui::MessageBox::setShowNothing(true);
        ui.showMessage(Message {"ja", "en"}, Language::English);
        gui::MessageBox::setNextAnswer(Answer::No);
        QCOMPARE(ui.ask(Message::same("q?"), Message::same("c"), Buttons::YesNoCancel, Language::Japanese), Answer::No);
        QCOMPARE(ui.ask(Message::same("r?"), Message::same("c"), Buttons::YesNo, Language::Japanese), Answer::Cancel);
        QCOMPARE(gui::MessageBox::texts(), (QStringList {"en", "q?", "r?"}));
        gui::MessageBox::setShowNothing(false);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindow_test.moc"
