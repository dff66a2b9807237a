#include "core/app/Workspace.h"
#include "core/catalogue/ModelCatalogue.h"
#include "core/mainwindow/Commands.h"
#include "gui/mainwindow/MainForm.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tess;

// Data read and write from the main window, end to end: the real termios
// port on the slave side of a pseudo-terminal, the simulated inverter
// program on the master side, the read data set saved and opened.
class CommunicationThroughPtyTest : public QObject {
    Q_OBJECT

private:
    // Runs the communication dialog of a menu item: Execute, then Close.
    static bool runDialogOf(gui::TMainForm& form, const char* item)
    {
        bool driven = false;
        QTimer::singleShot(0, &form, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
            driven = true;
        });
        QTimer::singleShot(60000, &form, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        form.findChild<QAction*>(QString::fromLatin1(item))->trigger();
        return driven;
    }

private slots:
    void readFromTheSimulatedInverterOpensTheDataSet()
    {
        test::DemoWorkspace demo;
        Workspace& ws = demo.ws;

        // The data set the inverter holds: a new QM71 one with one value
        // changed, saved where the simulator can read it.
        test::ScriptedSelection selection;
        catalogue::SelectionChoice choice;
        choice.model = 0;
        choice.controlMode = 0;
        choice.capacityIndex = catalogue::defaultCapacity(0);
        selection.choices.push_back(choice);
        newDocument(ws, demo.ui, selection);
        QVERIFY(ws.doc.state.open);
        ws.doc.values[100] = 1234;
        const std::string held = demo.dir.file("held.csl");
        demo.ui.fileNames.push_back(held);
        saveDocumentAs(ws, demo.ui);
        QVERIFY(ws.doc.state.saved);
        const ParameterSet values = ws.doc.values;
        const InverterIdentity identity = ws.doc.identity;
        closeDocument(ws, demo.ui);
        ws.doc.values = {};

        QProcess inverter;
        inverter.start(QStringLiteral(TESS_SIMINVERTER), {QString::fromStdString(held)});
        QVERIFY(inverter.waitForStarted());
        QVERIFY(inverter.waitForReadyRead(10000));
        const QByteArray pty = inverter.readLine().trimmed();
        QVERIFY(pty.startsWith("/dev/"));
        qputenv("TESSALINE_COM1", pty);
        ws.portName = "COM1";

        // The read saves its file in the working folder.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(demo.dir.path()));

        gui::TMainForm form(ws, demo.ui, demo.store);
        form.show();
        const bool driven = runDialogOf(form, "K2");
        QDir::setCurrent(previous);
        inverter.terminate();
        inverter.waitForFinished();

        QVERIFY(driven);
        QVERIFY2(ws.doc.state.open, demo.ui.englishTexts().empty() ? "" : demo.ui.englishTexts().front().c_str());
        QVERIFY(!ws.doc.state.rawDataSetMode);
        QVERIFY(ws.doc.identity == identity);
        QVERIFY(ws.doc.values == values);
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit5"))->text(), QStringLiteral("ReadData.csl"));
        QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("QM71"));
    }

    // A write changes the inverter: reading it back afterwards gives the
    // written values.
    void writtenValuesComeBackByARead()
    {
        test::DemoWorkspace demo;
        Workspace& ws = demo.ws;
        test::ScriptedSelection selection;
        catalogue::SelectionChoice choice;
        choice.model = 0;
        choice.controlMode = 0;
        choice.capacityIndex = catalogue::defaultCapacity(0);
        selection.choices.push_back(choice);
        newDocument(ws, demo.ui, selection);
        QVERIFY(ws.doc.state.open);
        const std::string held = demo.dir.file("held.csl");
        demo.ui.fileNames.push_back(held);
        saveDocumentAs(ws, demo.ui);
        closeDocument(ws, demo.ui);

        QProcess inverter;
        inverter.start(QStringLiteral(TESS_SIMINVERTER), {QString::fromStdString(held)});
        QVERIFY(inverter.waitForStarted());
        QVERIFY(inverter.waitForReadyRead(10000));
        qputenv("TESSALINE_COM1", inverter.readLine().trimmed());
        ws.portName = "COM1";
        ws.writeWaitMs = 0; // the simulator needs no pause between words
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(demo.dir.path()));

        // The data set to write: the held one with a changed acceleration time.
        gui::TMainForm form(ws, demo.ui, demo.store);
        form.show();
        demo.ui.fileNames.push_back(held);
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
        const std::string log = test::readFile(demo.dir.file("writelog.txt"));

        demo.ui.answers.push_back(Answer::No);
        form.findChild<QAction*>(QStringLiteral("Close1"))->trigger();
        QVERIFY(!ws.doc.state.open);
        QVERIFY(runDialogOf(form, "K2"));
        QDir::setCurrent(previous);
        inverter.terminate();
        inverter.waitForFinished();

        QVERIFY2(log.starts_with("start !!\r\n") && log.ends_with("end !!\r\n"), log.c_str());
        QVERIFY(ws.doc.state.open);
        QCOMPARE(ws.doc.values[static_cast<std::size_t>(row - 1)], 123);
        QVERIFY(ws.doc.values == written);
    }
};

QTEST_MAIN(CommunicationThroughPtyTest)
#include "CommunicationThroughPty_test.moc"
