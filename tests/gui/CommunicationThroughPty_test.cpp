#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "app/mainwindow/DocumentGrid.h"
#include "domain/common/Sha256.h"
#include "domain/journal/JournalFolder.h"
#include "domain/journal/JournalReader.h"
#include "domain/journal/TransferJournal.h"
#include "gui/comm/SerialTransferDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

using namespace tess;

// Data read and write from the main window, end to end: the real termios
// port on the slave side of a pseudo-terminal, the simulated inverter
// program on the master side, the read data set saved and opened.
class CommunicationThroughPtyTest : public QObject {
    Q_OBJECT

private:
    // Runs the communication dialog of a menu item: Execute, then Close once
    // the transfer has ended. `during` runs on the window's thread right after
    // Execute, while the transfer goes on.
    using DialogStep = std::function<void(gui::SerialTransferDialog&)>;
    static bool runDialogOf(
        gui::MainWindow& form, const char* item, const DialogStep& during = {}, const DialogStep& prepare = {})
    {
        return runDialogOpenedBy(
            form, [&] { form.findChild<QAction*>(QString::fromLatin1(item))->trigger(); }, during, prepare);
    }
    static bool runDialogOpenedBy(gui::MainWindow& form, const std::function<void()>& open,
        const DialogStep& during = {}, const DialogStep& prepare = {})
    {
        bool driven = false;
        QTimer::singleShot(0, &form, [&] {
            auto* dialog = qobject_cast<gui::SerialTransferDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (prepare)
                prepare(*dialog);
            QObject::connect(dialog, &gui::SerialTransferDialog::transferFinished, dialog, [dialog, &driven] {
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
                driven = true;
            });
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
            if (during)
                during(*dialog);
        });
        QTimer::singleShot(60000, &form, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        open();
        return driven;
    }

    // A new QM71 data set (changed by adjust) saved as "held.csl", the
    // simulated inverter started on it as COM1, and the working folder, where
    // a read saves its file, set to the demo folder. No document is open
    // afterwards.
    // `faults` gives the simulator's options from the new data set; with
    // `driveOnly` the inverter holds the data set changed by it, and
    // "held.csl" the data set without that change.
    void startInverter(const std::function<void(ParameterSet&)>& adjust = {},
        const std::function<QStringList(const Workspace&)>& faults = {},
        const std::function<void(const Workspace&, ParameterSet&)>& driveOnly = {})
    {
        Workspace& ws = m_demo->ws;
        QVERIFY(m_demo->newDefaultDataSet());
        if (adjust)
            adjust(ws.doc.values);
        QStringList arguments = faults ? faults(ws) : QStringList {};
        m_held = m_demo->dir.file("held.csl");
        m_demo->ui.fileNames.push_back(m_held);
        saveDocumentAs(ws, m_demo->ui);
        QVERIFY(ws.doc.state.saved);
        m_heldValues = ws.doc.values;
        m_heldIdentity = ws.doc.identity;
        std::string drive = m_held;
        if (driveOnly) {
            driveOnly(ws, ws.doc.values);
            drive = m_demo->dir.file("drive.csl");
            m_demo->ui.fileNames.push_back(drive);
            saveDocumentAs(ws, m_demo->ui);
        }
        arguments << QString::fromStdString(drive);
        closeDocument(ws, m_demo->ui);
        ws.doc.values = {};

        m_inverter.start(QStringLiteral(TESS_SIMINVERTER), arguments);
        QVERIFY(m_inverter.waitForStarted());
        QVERIFY(m_inverter.waitForReadyRead(10000));
        const QByteArray pty = m_inverter.readLine().trimmed();
        QVERIFY(pty.startsWith("/dev/"));
        qputenv("TESSALINE_COM1", pty);
        ws.settings.portName = "COM1";
        QDir::setCurrent(QString::fromStdString(m_demo->dir.path()));
    }

    // The held data set open in the window, ready to be written; each word of
    // the areas named differs by one from what the inverter holds, so a word
    // the inverter did not take shows in the verify.
    void openHeldChanged(gui::MainWindow& form, std::initializer_list<int> areas)
    {
        Workspace& ws = m_demo->ws;
        m_demo->ui.fileNames.push_back(m_held);
        form.findChild<QAction*>(QStringLiteral("Open1"))->trigger();
        QVERIFY(ws.doc.state.open);
        for (const int area : areas)
            for (int word = firstWord(area); word <= lastWord(area); ++word)
                ws.doc.values[static_cast<std::size_t>(word)] += 1;
    }

    int firstWord(int area) const { return m_demo->ws.doc.table.areaFirst[static_cast<std::size_t>(area)]; }
    int lastWord(int area) const { return m_demo->ws.doc.table.areaLast[static_cast<std::size_t>(area)]; }
    std::string codeOf(int word) const { return gridText(m_demo->ws, word + 1, ColCode); }

    // The areas a write dialog sends, chosen in its lists.
    static DialogStep chooseAreas(int start, int end)
    {
        return [start, end](gui::SerialTransferDialog& dialog) {
            dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(start);
            dialog.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(end);
        };
    }

    std::vector<std::string> writeLog() const
    {
        std::vector<std::string> lines;
        std::string text = test::readFile(m_demo->dir.file("writelog.txt"));
        for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n")) {
            lines.push_back(text.substr(0, end));
            text.erase(0, end + 2);
        }
        return lines;
    }

    static std::vector<std::string> linesEndingWith(const std::vector<std::string>& lines, const std::string& tail)
    {
        std::vector<std::string> found;
        for (const std::string& line : lines)
            if (line.ends_with(tail))
                found.push_back(line);
        return found;
    }

    static bool contains(const std::vector<std::string>& lines, const std::string& line)
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // How many words the simulator has taken so far, from its own count.
    int wordsTakenBySimulator()
    {
        m_simulatorOutput += m_inverter.readAllStandardError();
        const QList<QByteArray> lines = m_simulatorOutput.split('\n');
        for (auto line = lines.rbegin(); line != lines.rend(); ++line)
            if (line->endsWith(" words written"))
                return line->split(' ').front().toInt();
        return 0;
    }

    std::unique_ptr<test::DemoWorkspace> m_demo;
    QByteArray m_simulatorOutput;
    QProcess m_inverter;
    QString m_previousFolder;
    std::string m_held;
    ParameterSet m_heldValues {};
    InverterIdentity m_heldIdentity;

private slots:
    void init()
    {
        m_demo = std::make_unique<test::DemoWorkspace>();
        m_previousFolder = QDir::currentPath();
    }
    void cleanup()
    {
        m_simulatorOutput.clear();
        QDir::setCurrent(m_previousFolder);
        m_inverter.terminate();
        m_inverter.waitForFinished();
        m_demo.reset();
    }

    void readFromTheSimulatedInverterOpensTheDataSet()
    {
        startInverter([](ParameterSet& values) { values[100] = 1234; });
        if (QTest::currentTestFailed())
            return;
        Workspace& ws = m_demo->ws;

        gui::MainWindow form(ws, m_demo->ui, m_demo->store);
        form.show();
        QVERIFY(runDialogOf(form, "K2"));

        const std::vector<std::string> shown = m_demo->ui.englishTexts();
        QVERIFY2(ws.doc.state.open, shown.empty() ? "" : shown.front().c_str());
        QVERIFY(ws.doc.content != GridContent::Raw);
        QVERIFY(ws.doc.identity == m_heldIdentity);
        QVERIFY(ws.doc.values == m_heldValues);
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit5"))->text(), QStringLiteral("ReadData.csl"));
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("QM71"));
    }

    // A write changes the inverter: reading it back afterwards gives the
    // written values.
    void writtenValuesComeBackByARead()
    {
        startInverter();
        if (QTest::currentTestFailed())
            return;
        Workspace& ws = m_demo->ws;
        ws.settings.writeWaitMs = 0; // the simulator needs no pause between words

        // The data set to write: the held one with a changed acceleration time.
        gui::MainWindow form(ws, m_demo->ui, m_demo->store);
        form.show();
        m_demo->ui.fileNames.push_back(m_held);
        form.findChild<QAction*>(QStringLiteral("Open1"))->trigger();
        QVERIFY(ws.doc.state.open);
        int row = 0;
        for (int r = 1; r <= SlotCount && row == 0; ++r)
            if (gridText(ws, r, ColCode) == "Fund.-3")
                row = r;
        QVERIFY(row > 0);
        ws.doc.values[static_cast<std::size_t>(row - 1)] = 123;
        const ParameterSet written = ws.doc.values;
        QVERIFY(runDialogOf(form, "K3"));
        const std::string log = test::readFile(m_demo->dir.file("writelog.txt"));

        m_demo->ui.answers.push_back(Answer::No);
        form.findChild<QAction*>(QStringLiteral("Close1"))->trigger();
        QVERIFY(!ws.doc.state.open);
        QVERIFY(runDialogOf(form, "K2"));

        QVERIFY2(log.starts_with("start !!\r\n") && log.ends_with("end !!\r\n"), log.c_str());
        QVERIFY(ws.doc.state.open);
        QCOMPARE(ws.doc.values[static_cast<std::size_t>(row - 1)], 123);
        QVERIFY(ws.doc.values == written);
    }

    // The drive answers one word after the deadline and refuses a later one.
    // The late answer is read away, not taken for the next word's: the
    // refusal is logged under its own word, and the log names exactly the
    // words the drive did not take (the rest of the late word's range, never
    // sent, and the refused word, which the verify finds unchanged).
    void lateReplyIsNotTakenForTheNextWordsReply()
    {
        int late = 0;
        int refused = 0;
        startInverter({}, [&](const Workspace& ws) {
            late = ws.doc.table.areaFirst[comm::AreaA] + 2;
            refused = ws.doc.table.areaFirst[comm::AreaA + 1] + 5;
            return QStringList {QStringLiteral("--delay"), QStringLiteral("word:%1=2500").arg(late),
                QStringLiteral("--nak"), QStringLiteral("word:%1=E").arg(refused)};
        });
        if (QTest::currentTestFailed())
            return;
        m_demo->ws.settings.writeWaitMs = 0;
        gui::MainWindow form(m_demo->ws, m_demo->ui, m_demo->store);
        form.show();
        openHeldChanged(form, {comm::AreaFund, comm::AreaA, comm::AreaA + 1});
        QVERIFY(runDialogOf(form, "K3", {}, chooseAreas(comm::AreaFund, comm::AreaA + 1)));

        const std::vector<std::string> log = writeLog();
        const std::string all = test::readFile(m_demo->dir.file("writelog.txt"));
        QVERIFY2(contains(log, "off = " + std::to_string(late)), all.c_str());
        QVERIFY2(contains(log, codeOf(late + 1) + " to " + codeOf(lastWord(comm::AreaA)) + " not sent."), all.c_str());
        QCOMPARE(linesEndingWith(log, "  Upper limit error"),
            std::vector<std::string> {codeOf(refused) + "  Upper limit error"});
        const int held = m_heldValues[static_cast<std::size_t>(refused)];
        QVERIFY2(contains(log,
                     codeOf(refused) + "  sent " + std::to_string(held + 1) + "  read back " + std::to_string(held)),
            all.c_str());
        QCOMPARE(linesEndingWith(log, " words differ.").size(), std::size_t {1});
        QVERIFY2(linesEndingWith(log, " words differ.").front().starts_with("Verify: 1 of "), all.c_str());
    }

    // An over-long reply at line speed: its rest is still coming when the
    // next request would go out. It is read away first, so the next area's
    // words are all written and verified.
    void overlongReplyAtLineSpeedLeavesTheNextWordInStep()
    {
        int spoiled = 0;
        startInverter({}, [&](const Workspace& ws) {
            spoiled = ws.doc.table.areaFirst[comm::AreaA + 1] + 3;
            return QStringList {QStringLiteral("--baud"), QStringLiteral("9600"), QStringLiteral("--overlong"),
                QStringLiteral("word:%1").arg(spoiled)};
        });
        if (QTest::currentTestFailed())
            return;
        m_demo->ws.settings.writeWaitMs = 0;
        gui::MainWindow form(m_demo->ws, m_demo->ui, m_demo->store);
        form.show();
        const int areaB = comm::AreaA + 1;
        const int areaC = comm::AreaA + 2;
        openHeldChanged(form, {areaB, areaC});
        QVERIFY(runDialogOf(form, "K3", {}, chooseAreas(areaB, areaC)));

        const std::vector<std::string> log = writeLog();
        const std::string all = test::readFile(m_demo->dir.file("writelog.txt"));
        std::vector<std::string> failed;
        for (const std::string& line : log)
            if (line.starts_with("off = "))
                failed.push_back(line);
        QCOMPARE(failed, std::vector<std::string> {"off = " + std::to_string(spoiled)});
        QVERIFY2(contains(log, codeOf(spoiled + 1) + " to " + codeOf(lastWord(areaB)) + " not sent."), all.c_str());
        // Every word sent is held by the drive, the spoiled one too.
        const int sent = spoiled - firstWord(areaB) + 1 + lastWord(areaC) - firstWord(areaC) + 1;
        QVERIFY2(contains(log, "Verify: all " + std::to_string(sent) + " words match."), all.c_str());
    }

    // A whole write with the window's thread free: a timer on it keeps
    // firing, and a click on the greyed Execute meanwhile is not kept for
    // later (it once started a second complete write when the first ended).
    void writeKeepsTheWindowAliveAndKeepsNoClickForLater()
    {
        startInverter();
        if (QTest::currentTestFailed())
            return;
        m_demo->ws.settings.writeWaitMs = 0;
        gui::MainWindow form(m_demo->ws, m_demo->ui, m_demo->store);
        form.show();
        openHeldChanged(form, {});

        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        int ticks = 0;
        QTimer ticker;
        ticker.setInterval(20);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
            ++ticks;
        });
        int transfers = 0;
        QVERIFY(runDialogOf(form, "K3", [&](gui::SerialTransferDialog& dialog) {
            QObject::connect(&dialog, &gui::SerialTransferDialog::transferFinished, [&] {
                ++transfers;
                ticker.stop();
            });
            clock.start();
            ticker.start();
            QTimer::singleShot(1500, &dialog, [&dialog] {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
            });
        }));
        QTest::qWait(500);

        QCOMPARE(transfers, 1);
        QVERIFY2(ticks > 20, QByteArray::number(ticks).constData());
        QVERIFY2(longestGap < 500, QByteArray::number(longestGap).constData());
        const std::vector<std::string> log = writeLog();
        QVERIFY(!log.empty() && log.front() == "start !!" && log.back() == "end !!");
        QCOMPARE(std::count(log.begin(), log.end(), std::string("start !!")), std::ptrdiff_t {1});
        const std::vector<std::string> verified = linesEndingWith(log, " words match.");
        QCOMPARE(verified.size(), std::size_t {1});
        QCOMPARE(wordsTakenBySimulator(), std::stoi(verified.front().substr(std::string("Verify: all ").size())));
    }

    // A write of the held data set to COM1 that stopped without an end is
    // offered at the start; Yes shows the changed-only write of the same
    // areas on that port, and once it has gone through the interrupted
    // write's journal says it was finished.
    void interruptedWriteIsOfferedAndFinished()
    {
        // The drive holds one word of area A otherwise than the held data set.
        startInverter({}, {},
            [this](const Workspace&, ParameterSet& values) { values[static_cast<std::size_t>(firstWord(1))] += 1; });
        if (QTest::currentTestFailed())
            return;
        Workspace& ws = m_demo->ws;
        ws.settings.writeWaitMs = 0;
        ws.settings.journalFolder = m_demo->dir.file("journal");
        std::string interrupted;
        {
            journal::TransferJournal journal(ws.settings.journalFolder,
                journal::journalFileName(
                    "20261211T014205.000Z", journal::transactionName(journal::JournalTransaction::Write), 7));
            journal::JournalHeader h;
            h.utcTime = "2026-12-11T01:42:05Z";
            h.port = "COM1";
            h.drive = {"QM71 01-A1", "QM71", "01-A1", 1, 34};
            h.dataFile = m_held;
            h.dataFileSha256 = sha256Hex(test::readFile(m_held));
            h.fromArea = "A";
            h.toArea = "B";
            journal.header(h);
            journal.planned(40);
            interrupted = journal.path();
        }
        ws.settings.portName = "COM2"; // chosen since; the resumed write goes where the interrupted one went
        gui::MainWindow form(ws, m_demo->ui, m_demo->store);
        form.show();
        m_demo->ui.answers.push_back(Answer::Yes);
        bool changedOnly = false;
        int startArea = -1;
        QVERIFY(runDialogOpenedBy(
            form, [&] { form.offerInterruptedWrite(); }, {},
            [&](gui::SerialTransferDialog& dialog) {
                changedOnly = dialog.findChild<QCheckBox*>(QStringLiteral("ChangedOnlyCheck"))->isChecked();
                startArea = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex();
            }));

        QCOMPARE(m_demo->ui.questions.size(), std::size_t {1});
        QVERIFY(ws.doc.state.open);
        QVERIFY(changedOnly);
        QCOMPARE(startArea, 1);
        QCOMPARE(ws.settings.portName, std::string("COM2"));
        QVERIFY(journal::readJournal(test::readFile(interrupted)).resumed);
    }

    void closeDuringAWriteStopsItBetweenTwoWords_data()
    {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("the dialog's Close") << false;
        QTest::newRow("the main window asked to close") << true;
    }

    // Close while words go out asks, then stops between two words; the log
    // says how many the drive took, and that is what it took. The window
    // asked to close does the same and stays until the transfer has ended.
    void closeDuringAWriteStopsItBetweenTwoWords()
    {
        QFETCH(bool, closeWindow);
        startInverter();
        if (QTest::currentTestFailed())
            return;
        m_demo->ws.settings.writeWaitMs = 20;
        gui::MainWindow form(m_demo->ws, m_demo->ui, m_demo->store);
        form.show();
        openHeldChanged(form, {});
        m_demo->ui.answers.push_back(Answer::Yes); // "Stop the writing?"

        QTimer watch;
        watch.setInterval(20);
        int barAtTheEnd = -1;
        QVERIFY(runDialogOf(form, "K3", [&](gui::SerialTransferDialog& dialog) {
            auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
            QObject::connect(&dialog, &gui::SerialTransferDialog::transferFinished, &dialog,
                [&barAtTheEnd, bar] { barAtTheEnd = bar->value(); });
            QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
                if (wordsTakenBySimulator() < 10)
                    return;
                watch.stop();
                if (closeWindow)
                    form.close();
                else
                    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
            });
            watch.start();
        }));
        QTest::qWait(300);
        QVERIFY(form.isVisible());
        QCOMPARE(m_demo->ui.questions.size(), std::size_t {1});

        const std::vector<std::string> log = writeLog();
        const std::string all = test::readFile(m_demo->dir.file("writelog.txt"));
        const std::vector<std::string> cancelled = linesEndingWith(log, " words written.");
        QVERIFY2(cancelled.size() == 1 && cancelled.front().starts_with("Cancelled: "), all.c_str());
        const int taken = wordsTakenBySimulator();
        QVERIFY(taken >= 10);
        QVERIFY2(cancelled.front().starts_with("Cancelled: " + std::to_string(taken) + " of "), all.c_str());
        QVERIFY(linesEndingWith(log, " words match.").empty());
        QCOMPARE(log.back(), std::string("end !!"));
        // A transfer that stopped leaves its bar at the start.
        QCOMPARE(barAtTheEnd, 0);
    }

    // Compare with the drive from the File menu: the drive's values beside
    // the open data set's, marked where they differ, the drive named in the
    // file-name box; the data set itself stays as it was.
    void compareWithTheDriveShowsWhereTheDriveDiffers()
    {
        int changed = 0;
        startInverter({}, {}, [&](const Workspace& ws, ParameterSet& drive) {
            changed = ws.doc.table.areaFirst[comm::AreaA + 2] + 1;
            drive[static_cast<std::size_t>(changed)] += 1;
        });
        if (QTest::currentTestFailed())
            return;
        gui::MainWindow form(m_demo->ws, m_demo->ui, m_demo->store);
        form.show();
        openHeldChanged(form, {});
        const ParameterSet before = m_demo->ws.doc.values;
        QVERIFY(form.findChild<QAction*>(QStringLiteral("CompareDrive1"))->isEnabled());

        QVERIFY(runDialogOf(form, "CompareDrive1"));

        const Workspace& ws = m_demo->ws;
        QVERIFY(ws.doc.state.compareMode);
        QVERIFY(ws.doc.values == before);
        std::vector<int> marked;
        for (int row = 1; row <= SlotCount; ++row)
            if (!gridText(ws, row, ColFigures).empty())
                marked.push_back(row - 1);
        QCOMPARE(marked, std::vector<int> {changed});
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit5"))->text(), QStringLiteral("Inverter (COM1)"));
    }
};

QTEST_MAIN(CommunicationThroughPtyTest)
#include "CommunicationThroughPty_test.moc"
