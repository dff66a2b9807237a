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

// A data read from the main window, end to end: the real termios port on the
// slave side of a pseudo-terminal, the simulated inverter program on the
// master side, the read data set saved and opened in the window.
class DataReadThroughPtyTest : public QObject {
    Q_OBJECT

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
        bool driven = false;
        QTimer::singleShot(0, &form, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
            driven = true;
        });
        QTimer::singleShot(60000, &form, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        form.findChild<QAction*>(QStringLiteral("K2"))->trigger();
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
};

QTEST_MAIN(DataReadThroughPtyTest)
#include "DataReadThroughPty_test.moc"
