#include "app/startup/Startup.h"
#include "domain/comm/CommLog.h"
#include "domain/settings/UserStore.h"
#include "gui/comm/LogViewerDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

using namespace tess;

// The communication log viewer opened from the main window, with the log in
// the working directory as the program keeps it.
class LogViewerDialogTest : public QObject {
    Q_OBJECT

private:
    void chooseLogCommand()
    {
        QTest::mouseClick(m_form->findChild<QToolButton*>(QStringLiteral("SpeedButton7")), Qt::LeftButton);
    }
    gui::LogViewerDialog* viewer() { return m_form->findChild<gui::LogViewerDialog*>(); }
    QPlainTextEdit* memo() { return viewer()->findChild<QPlainTextEdit*>(QStringLiteral("Memo1")); }

    std::unique_ptr<test::TempDir> m_dir;
    QString m_previousFolder;
    std::unique_ptr<Workspace> m_ws;
    test::FakeUi m_ui;
    MemoryUserStore m_store;
    std::unique_ptr<gui::MainWindow> m_form;

private slots:
    void init()
    {
        m_dir = std::make_unique<test::TempDir>();
        m_previousFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(m_dir->path())));
        test::writeFile(m_dir->file("FileVersion.INI"), "[View]\r\nValue=0\r\n");
        m_ws = std::make_unique<Workspace>();
        m_store.writeInteger(UserValueEigo, 1);
        startUp(*m_ws, m_ui, m_store, StartupEnvironment {m_dir->file("tessaline"), "", "", ""});
        m_form = std::make_unique<gui::MainWindow>(*m_ws, m_ui, m_store);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void cleanup()
    {
        m_form.reset();
        QDir::setCurrent(m_previousFolder);
        m_dir.reset();
    }

    void aLogWrittenWhileTheViewerIsOpenIsShownAndKept()
    {
        test::writeFile(m_dir->file("writelog.txt"), "start !!\r\nend !!\r\n");
        chooseLogCommand();
        QPointer<gui::LogViewerDialog> form = viewer();
        QVERIFY(form);
        QCOMPARE(memo()->toPlainText(), QStringLiteral("start !!\nend !!"));

        // A write transaction ends with a refused word in its log.
        const std::vector<std::string> newLog {"start !!", "A-11 data is not writed.", "end !!"};
        QVERIFY(comm::saveCommLog(*m_ws->writer, newLog).written);
        const std::string newFile = "start !!\r\nA-11 data is not writed.\r\nend !!\r\n";

        chooseLogCommand();
        QCOMPARE(viewer(), form.data());
        QCOMPARE(memo()->toPlainText(), QStringLiteral("start !!\nA-11 data is not writed.\nend !!"));
        QVERIFY(form->close());
        QCOMPARE(test::readFile(m_dir->file("writelog.txt")), newFile);
        QTRY_VERIFY(form.isNull());

        // Opened again, edited by keyboard and closed: the edit is written.
        chooseLogCommand();
        form = viewer();
        QVERIFY(form);
        memo()->setFocus();
        memo()->moveCursor(QTextCursor::End);
        QTest::keyClick(memo(), Qt::Key_Return);
        QTest::keyClicks(memo(), QStringLiteral("checked"));
        QVERIFY(form->close());
        QCOMPARE(test::readFile(m_dir->file("writelog.txt")), newFile + "checked\r\n");
        QVERIFY(m_ui.questions.empty());
        QVERIFY(m_ui.messages.empty());
    }

    void choosingTheCommandOverUnwrittenEditsKeepsThemUnlessTheUserAgrees()
    {
        test::writeFile(m_dir->file("writelog.txt"), "start !!\r\n");
        chooseLogCommand();
        memo()->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo(), QStringLiteral(" checked"));
        test::writeFile(m_dir->file("writelog.txt"), "start !!\r\nend !!\r\n");

        m_ui.answers.push_back(Answer::No);
        chooseLogCommand();
        QCOMPARE(m_ui.questions.size(), std::size_t(1));
        QCOMPARE(memo()->toPlainText(), QStringLiteral("start !! checked"));

        m_ui.answers.push_back(Answer::Yes);
        chooseLogCommand();
        QCOMPARE(memo()->toPlainText(), QStringLiteral("start !!\nend !!"));
    }
};

QTEST_MAIN(LogViewerDialogTest)
#include "LogViewerDialog_test.moc"
