#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "gui/comm/SerialTransferDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
    static bool runDialogOf(
        gui::MainWindow& form, const char* item, const std::function<void(gui::SerialTransferDialog&)>& during = {})
    {
        bool driven = false;
        QTimer::singleShot(0, &form, [&] {
            auto* dialog = qobject_cast<gui::SerialTransferDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
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
        form.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        return driven;
    }

    // A new QM71 data set (changed by adjust) saved as "held.csl", the
    // simulated inverter started on it as COM1, and the working folder, where
    // a read saves its file, set to the demo folder. No document is open
    // afterwards.
    void startInverter(const std::function<void(ParameterSet&)>& adjust = {})
    {
        Workspace& ws = m_demo->ws;
        QVERIFY(m_demo->newDefaultDataSet());
        if (adjust)
            adjust(ws.doc.values);
        m_held = m_demo->dir.file("held.csl");
        m_demo->ui.fileNames.push_back(m_held);
        saveDocumentAs(ws, m_demo->ui);
        QVERIFY(ws.doc.state.saved);
        m_heldValues = ws.doc.values;
        m_heldIdentity = ws.doc.identity;
        closeDocument(ws, m_demo->ui);
        ws.doc.values = {};

        m_inverter.start(QStringLiteral(TESS_SIMINVERTER), {QString::fromStdString(m_held)});
        QVERIFY(m_inverter.waitForStarted());
        QVERIFY(m_inverter.waitForReadyRead(10000));
        const QByteArray pty = m_inverter.readLine().trimmed();
        QVERIFY(pty.startsWith("/dev/"));
        qputenv("TESSALINE_COM1", pty);
        ws.settings.portName = "COM1";
        QDir::setCurrent(QString::fromStdString(m_demo->dir.path()));
    }

    std::unique_ptr<test::DemoWorkspace> m_demo;
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
        QVERIFY(!ws.doc.state.rawDataSetMode);
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
            if (ws.doc.rows.text(r, ColCode) == "Fund.-3")
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
};

QTEST_MAIN(CommunicationThroughPtyTest)
#include "CommunicationThroughPty_test.moc"
