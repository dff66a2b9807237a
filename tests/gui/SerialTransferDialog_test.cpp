#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/comm/SerialLink.h"
#include "domain/common/FileIo.h"
#include "gui/comm/SerialTransferDialog.h"
#include "support/DemoWorkspace.h"
#include "support/FakeSerialPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace tess;

class SerialTransferDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(QObject* parent, const char* name)
    {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    // Clicks Execute and waits until the transfer, which runs on a thread of
    // its own, has ended and the dialog shows its result.
    static bool execute(gui::SerialTransferDialog* form)
    {
        QSignalSpy finished(form, &gui::SerialTransferDialog::transferFinished);
        QTest::mouseClick(child<QPushButton>(form, "Button1"), Qt::LeftButton);
        return finished.count() > 0 || finished.wait(20000);
    }

    // A demo workspace with a new QM71 data set open and an inverter of the
    // same identity on COM1.
    struct Bench {
        test::DemoWorkspace demo;
        test::FakeClock clock;
        test::FakeSerialPort port {clock};
        test::FakeInverter inverter;

        Bench()
        {
            demo.newDefaultDataSet();
            demo.ws.settings.portName = "COM1";
            demo.ui.messages.clear();
            const InverterIdentity& id = demo.ws.doc.identity;
            inverter.put(comm::IdentityAddress,
                "QM71 " + std::string(catalogue::romVersionText(catalogue::Model::QM71, id.romVersion).value_or("")));
            inverter.putWord(comm::ModeCapacityAddress, static_cast<std::uint16_t>(id.controlMode));
            inverter.putWord(comm::ModeCapacityAddress + 2, static_cast<std::uint16_t>(id.capacity));
            port.respond = [this](const std::string& frame) { return inverter(frame); };
        }

        std::unique_ptr<gui::SerialTransferDialog> form(comm::TransferKind kind)
        {
            return std::make_unique<gui::SerialTransferDialog>(
                demo.ws, demo.ui, port, clock, kind, nullptr, demo.dir.path());
        }
    };

private slots:
    void writeDialogHandsTheChoicesToTheTransaction()
    {
        Bench bench;
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->windowTitle(), QStringLiteral("Commnication"));
        QCOMPARE(child<QLabel>(form.get(), "Label1")->text(), QStringLiteral("Sending situation"));
        QVERIFY(child<QGroupBox>(form.get(), "GroupBox1")->isVisible());
        QVERIFY(child<QGroupBox>(form.get(), "GroupBox3")->isVisible());
        auto* start = child<QComboBox>(form.get(), "ComboBox1");
        auto* end = child<QComboBox>(form.get(), "ComboBox2");
        QCOMPARE(start->count(), 16);
        QCOMPARE(start->currentText(), QStringLiteral("Fund."));
        QCOMPARE(end->currentText(), QStringLiteral("P"));
        QVERIFY(!child<QCheckBox>(form.get(), "CheckBox1")->isChecked());
        QVERIFY(child<QCheckBox>(form.get(), "CheckBox2")->isHidden());

        // Checking the O area box tells first how O words are written.
        QTest::mouseClick(child<QCheckBox>(form.get(), "CheckBox5"), Qt::LeftButton);
        QVERIFY(form->transfer().showAreaO());
        QCOMPARE(bench.demo.ui.englishTexts().size(), std::size_t {1});
        QTest::mouseClick(child<QCheckBox>(form.get(), "CheckBox1"), Qt::LeftButton);
        QVERIFY(form->transfer().writePermitted());

        start->setCurrentIndex(2);
        end->lineEdit()->selectAll();
        QTest::keyClicks(end->lineEdit(), QStringLiteral("C"));
        QCOMPARE(form->transfer().startArea(), 2);
        QCOMPARE(form->transfer().endArea(), 3);

        QVERIFY(execute(form.get()));
        const ParameterTable& table = bench.demo.ws.doc.table;
        const auto words = static_cast<std::size_t>(table.areaLast[3] - table.areaFirst[2] + 1);
        QCOMPARE(bench.inverter.writtenAddresses.size(), words);
        // Verify is on by default: the image read back matches every word.
        QCOMPARE(child<QPlainTextEdit>(form.get(), "Memo1")->toPlainText(),
            QStringLiteral("start !!\nVerify: all %1 words match.\nend !!\nCommunication Log file name is writelog.txt")
                .arg(words));
        auto* bar = child<QProgressBar>(form.get(), "ProgressBar1");
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(child<QPushButton>(form.get(), "Button1")->isEnabled());
        QVERIFY(child<QPushButton>(form.get(), "Button2")->isEnabled());
        QVERIFY(fileExists(bench.demo.dir.file("writelog.txt")));

        QTest::mouseClick(child<QPushButton>(form.get(), "Button2"), Qt::LeftButton);
        QCOMPARE(form->result(), int(QDialog::Accepted));
    }

    void controlKeysRevealAndHideTheForcedTransfer()
    {
        Bench bench;
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto* forced = child<QCheckBox>(form.get(), "CheckBox2");
        QCOMPARE(forced->text(), QStringLiteral("Forced Data Write"));

        QTest::keyClick(child<QComboBox>(form.get(), "ComboBox1"), Qt::Key_F9, Qt::ControlModifier);
        QVERIFY(forced->isVisible());
        QVERIFY(forced->isEnabled());
        QTest::mouseClick(forced, Qt::LeftButton);
        QVERIFY(form->transfer().forcedTransfer());

        QTest::keyClick(child<QPushButton>(form.get(), "Button1"), Qt::Key_F10, Qt::ControlModifier);
        QVERIFY(forced->isHidden());
        QVERIFY(!forced->isChecked());
        QVERIFY(!form->transfer().forcedTransfer());
        // The area list kept its text: the keys went to the form.
        QCOMPARE(child<QComboBox>(form.get(), "ComboBox1")->currentText(), QStringLiteral("Fund."));
    }

    void areasInTheWrongOrderLeaveExecuteDisabled()
    {
        Bench bench;
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        child<QComboBox>(form.get(), "ComboBox1")->setCurrentIndex(5);
        child<QComboBox>(form.get(), "ComboBox2")->setCurrentIndex(2);
        QVERIFY(execute(form.get()));
        QCOMPARE(bench.demo.ui.englishTexts(), std::vector<std::string> {"Set writing area error!"});
        QVERIFY(!child<QPushButton>(form.get(), "Button1")->isEnabled());
        QVERIFY(child<QPushButton>(form.get(), "Button2")->isEnabled());
        QVERIFY(child<QPlainTextEdit>(form.get(), "Memo1")->toPlainText().isEmpty());
        QVERIFY(bench.port.openedNames.empty());
    }

    void stopHoldsTheWriteWhileTheQuestionWaits_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("answered No, the write goes on") << false;
        QTest::newRow("answered Yes, the write stops") << true;
    }

    // Escape during a write: the question comes up with the line held at a
    // word boundary, so that the answer decides what happens to every word
    // after it.
    void stopHoldsTheWriteWhileTheQuestionWaits()
    {
        using namespace std::chrono_literals;
        QFETCH(bool, stop);
        Bench bench;
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(child<QCheckBox>(form.get(), "VerifyCheck"), Qt::LeftButton);
        QVERIFY(!form->transfer().verifyAfterWrite());

        // The words go out at a pace a person could press Escape into.
        std::atomic<int> sent {0};
        gui::SerialTransferDialog* dialog = form.get();
        bench.port.respond = [&](const std::string& frame) {
            if (frame.size() > 2 && frame[2] == comm::CommandWrite) {
                std::this_thread::sleep_for(2ms);
                if (++sent == 20)
                    QMetaObject::invokeMethod(
                        dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); }, Qt::QueuedConnection);
            }
            return bench.inverter(frame);
        };
        int atQuestion = -1;
        int afterWaiting = -1;
        bench.demo.ui.onAsk = [&](const Message&) {
            // A word on the line when Stop came is let finish.
            std::this_thread::sleep_for(50ms);
            atQuestion = sent;
            std::this_thread::sleep_for(300ms);
            afterWaiting = sent;
        };
        bench.demo.ui.answers = {stop ? Answer::Yes : Answer::No};

        QVERIFY(execute(form.get()));
        QCOMPARE(bench.demo.ui.questions.size(), std::size_t {1});
        QVERIFY(atQuestion >= 20);
        QVERIFY(atQuestion <= 22);
        QCOMPARE(afterWaiting, atQuestion);
        if (stop) {
            QCOMPARE(sent.load(), atQuestion);
            QVERIFY(form->transfer().cancelRequested());
        } else {
            QVERIFY(sent > atQuestion + 100);
            QVERIFY(!form->transfer().cancelRequested());
        }
    }

    // Before Execute the dialog names the port it will use; after the
    // transfer it says in a few lines how it ended, and the log's last line
    // is read whole, without scrolling sideways.
    void theDialogNamesThePortAndSummarisesTheTransfer()
    {
        Bench bench;
        bench.demo.ws.settings.portName = "/dev/ttyUSB7";
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(child<QLabel>(form.get(), "TransferPort")->text(), QStringLiteral("Port: /dev/ttyUSB7"));
        QTest::mouseClick(child<QCheckBox>(form.get(), "VerifyCheck"), Qt::LeftButton);
        child<QComboBox>(form.get(), "ComboBox1")->setCurrentIndex(3);
        child<QComboBox>(form.get(), "ComboBox2")->setCurrentIndex(3);

        QVERIFY(execute(form.get()));
        const QStringList summary
            = child<QPlainTextEdit>(form.get(), "TransferSummary")->toPlainText().split(QLatin1Char('\n'));
        QVERIFY(summary.size() >= 3);
        QCOMPARE(summary[0], QStringLiteral("Result: done."));
        QVERIFY(summary[1].startsWith(QStringLiteral("Written: ")));
        QCOMPARE(summary.back(), QStringLiteral("Verify: not done"));
        auto* memo = child<QPlainTextEdit>(form.get(), "Memo1");
        QVERIFY(memo->toPlainText().endsWith(QStringLiteral("Communication Log file name is writelog.txt")));
        QCOMPARE(memo->horizontalScrollBar()->maximum(), 0);
    }

    // Ctrl+F9 and Ctrl+F10 during a transfer are taken by the form and do
    // nothing: no control sees them, the forced transfer box stays as it was.
    void controlKeysAreTakenDuringATransfer()
    {
        using namespace std::chrono_literals;
        Bench bench;
        auto form = bench.form(comm::TransferKind::Write);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(child<QCheckBox>(form.get(), "VerifyCheck"), Qt::LeftButton);

        struct KeyCounter : QObject {
            int keys = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::KeyPress) {
                    const int key = static_cast<QKeyEvent*>(event)->key();
                    keys += key == Qt::Key_F9 || key == Qt::Key_F10 ? 1 : 0;
                }
                return false;
            }
        } counter;
        form->installEventFilter(&counter);
        std::atomic<int> sent {0};
        gui::SerialTransferDialog* dialog = form.get();
        auto* memo = child<QPlainTextEdit>(form.get(), "Memo1");
        bool forcedShown = true;
        bench.port.respond = [&](const std::string& frame) {
            if (frame.size() > 2 && frame[2] == comm::CommandWrite) {
                std::this_thread::sleep_for(1ms);
                if (++sent == 20)
                    QMetaObject::invokeMethod(
                        dialog,
                        [&] {
                            QTest::keyClick(memo, Qt::Key_F9, Qt::ControlModifier);
                            QTest::keyClick(memo, Qt::Key_F10, Qt::ControlModifier);
                            forcedShown = child<QCheckBox>(dialog, "CheckBox2")->isVisible();
                        },
                        Qt::QueuedConnection);
            }
            return bench.inverter(frame);
        };
        QVERIFY(execute(form.get()));
        QVERIFY(sent >= 20);
        QCOMPARE(counter.keys, 0);
        QVERIFY(!forcedShown);
        QVERIFY(!form->transfer().forcedBoxVisible());
    }

    void readDialogShowsNoAreasAndOpensWhatItRead()
    {
        Bench bench;
        closeDocument(bench.demo.ws, bench.demo.ui);
        bench.inverter.putWord(comm::ImageAddress + 80, 2222);
        auto form = bench.form(comm::TransferKind::Read);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(child<QLabel>(form.get(), "Label1")->text(), QStringLiteral("Receiving situation"));
        QVERIFY(child<QGroupBox>(form.get(), "GroupBox1")->isHidden());
        QVERIFY(!child<QGroupBox>(form.get(), "GroupBox2")->isEnabled());
        QVERIFY(child<QGroupBox>(form.get(), "GroupBox3")->isHidden());
        QCOMPARE(child<QProgressBar>(form.get(), "ProgressBar1")->maximum(), 100);

        QVERIFY(execute(form.get()));
        QCOMPARE(child<QPlainTextEdit>(form.get(), "Memo1")->toPlainText(),
            QStringLiteral("start !!\nend !!\nSaved as ReadData.csl"));
        QVERIFY(bench.demo.ws.doc.state.open);
        QCOMPARE(bench.demo.ws.doc.values[40], 2222);
        // One bar over the whole transaction, full at its end.
        auto* bar = child<QProgressBar>(form.get(), "ProgressBar1");
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(!fileExists(bench.demo.dir.file("writelog.txt")));
    }
};

QTEST_MAIN(SerialTransferDialogTest)
#include "SerialTransferDialog_test.moc"
