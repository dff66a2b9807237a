#include "app/common/Workspace.h"
#include "domain/settings/UserStore.h"
#include "gui/comm/CommSettingsDialog.h"
#include "gui/comm/LogViewerDialog.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <vector>

using namespace tess;

class CommSettingsDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(QObject* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }

private slots:
    void closeTakesThePortAndTheWait()
    {
        Workspace ws;
        MemoryUserStore store;
        store.writeString(UserValueCom, "COM3");
        ws.settings.portName = "COM3";

        gui::CommSettingsDialog form(ws, store);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Communication Set"));
        QCOMPARE(child<QGroupBox>(&form, "RadioGroup1")->title(), QStringLiteral("Comm port Set"));
        auto* ports = child<QComboBox>(&form, "ComboBox1");
        auto* wait = child<QSpinBox>(&form, "Edit1");
        QCOMPARE(ports->count(), 255);
        QCOMPARE(ports->currentText(), QStringLiteral("COM3"));
        QCOMPARE(wait->value(), 150);
        QCOMPARE(wait->minimum(), 120);
        QCOMPARE(wait->maximum(), 1000);

        ports->setCurrentIndex(4);
        wait->setValue(300);
        QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton);

        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(store.readString(UserValueCom), std::string("COM5"));
        QCOMPARE(ws.settings.portName, std::string("COM5"));
        QCOMPARE(ws.settings.writeWaitMs, 300);
    }

    void typedPortIsTakenAndTitleBarCloseTakesNothing()
    {
        Workspace ws;
        MemoryUserStore store;
        {
            gui::CommSettingsDialog form(ws, store);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto* ports = child<QComboBox>(&form, "ComboBox1");
            QCOMPARE(ports->currentText(), QStringLiteral("COM1"));
            ports->lineEdit()->selectAll();
            QTest::keyClicks(ports->lineEdit(), QStringLiteral("com7"));
            QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton);
            QCOMPARE(ws.settings.portName, std::string("COM7"));
            QCOMPARE(ports->count(), 255);
        }
        {
            gui::CommSettingsDialog form(ws, store);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(child<QComboBox>(&form, "ComboBox1")->currentText(), QStringLiteral("COM7"));
            child<QComboBox>(&form, "ComboBox1")->setCurrentIndex(0);
            child<QSpinBox>(&form, "Edit1")->setValue(900);
            form.close();
            QCOMPARE(form.result(), int(QDialog::Rejected));
        }
        QCOMPARE(store.readString(UserValueCom), std::string("COM7"));
        QCOMPARE(ws.settings.portName, std::string("COM7"));
        QCOMPARE(ws.settings.writeWaitMs, 150);
    }

    void pickedDeviceIsStoredAndAComTypedLaterWins()
    {
        Workspace ws;
        MemoryUserStore store;
        store.writeString(UserValueCom, "COM3");
        ws.settings.portName = "COM3";
        const comm::DeviceLookup machine {
            [](const char*) -> const char* { return nullptr; },
            [] {
                return std::vector<comm::SerialDevice> {{"/dev/ttyS0", ""}, {"/dev/ttyUSB0", ""}};
            },
        };
        {
            gui::CommSettingsDialog form(ws, store, nullptr, machine);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(child<QLabel>(&form, "Label3")->text(), QStringLiteral("→ /dev/ttyS2"));
            QCOMPARE(child<QLabel>(&form, "Label4")->text(), QStringLiteral("Device"));
            auto* devices = child<QComboBox>(&form, "ComboBox2");
            QCOMPARE(devices->currentText(), QStringLiteral("(COM port)"));
            devices->setFocus();
            QTest::keyClick(devices, Qt::Key_Down);
            QTest::keyClick(devices, Qt::Key_Down);
            QCOMPARE(devices->currentText(), QStringLiteral("/dev/ttyUSB0"));
            QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton);
        }
        QCOMPARE(store.readString(UserValueCom), std::string("/dev/ttyUSB0"));
        QCOMPARE(ws.settings.portName, std::string("/dev/ttyUSB0"));
        {
            gui::CommSettingsDialog form(ws, store, nullptr, machine);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto* ports = child<QComboBox>(&form, "ComboBox1");
            auto* devices = child<QComboBox>(&form, "ComboBox2");
            QCOMPARE(ports->currentText(), QStringLiteral("COM1"));
            QCOMPARE(devices->currentText(), QStringLiteral("/dev/ttyUSB0"));
            ports->lineEdit()->selectAll();
            QTest::keyClicks(ports->lineEdit(), QStringLiteral("com4"));
            QCOMPARE(devices->currentIndex(), 0);
            QCOMPARE(child<QLabel>(&form, "Label3")->text(), QStringLiteral("→ /dev/ttyS3"));
            QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton);
        }
        QCOMPARE(store.readString(UserValueCom), std::string("COM4"));
    }

    void logViewerShowsTheFileAndWritesEditsBack()
    {
        test::TempDir dir;
        test::FakeUi ui;
        Workspace ws;
        test::writeFile(dir.file("writelog.txt"), "start !!\r\n\x82\xcc\r\nend !!\r\n");

        QPointer<gui::LogViewerDialog> form = new gui::LogViewerDialog(ws, ui, QFont(), nullptr, dir.path());
        QVERIFY(ws.view.logWindowOpen);
        QVERIFY(form->windowFlags().testFlag(Qt::Tool));
        QCOMPARE(form->windowTitle(), QStringLiteral("Communication Log Reference"));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        auto* memo = child<QPlainTextEdit>(form, "Memo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("start !!\n\u306e\nend !!"));
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);

        ws.settings.language = Language::Japanese;
        form->applyLanguage();
        QCOMPARE(form->windowTitle(), QStringLiteral("通信ﾛｸﾞ参照"));

        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("checked"));
        QVERIFY(form->close());
        QCOMPARE(
            test::readFile(dir.file("writelog.txt")), std::string("start !!\r\n\x82\xcc\r\nend !!\r\nchecked\r\n"));
        QVERIFY(!ws.view.logWindowOpen);
        QTRY_VERIFY(form.isNull());
        QVERIFY(ui.messages.empty());
    }
};

QTEST_MAIN(CommSettingsDialogTest)
#include "CommSettingsDialog_test.moc"
