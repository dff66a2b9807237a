#include "app/common/Workspace.h"
#include "gui/catalogue/AddRomFilesDialog.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tess;

class AddRomFilesDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(QObject* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }

private slots:
    void selectAddAndCloseGoThroughTheCore()
    {
        test::TempDir dir;
        test::FakeUi ui;
        Workspace ws;
        ws.settings.applicationFolder = dir.file("inst/");
        ws.settings.language = Language::English;
        ws.view.commands.romMenuVisible = true;
        test::writeFile(dir.file("new/QM71RTP_01.bkh"), "table\r\n");
        test::writeFile(dir.file("inst/FileVersion.INI"), ""); // the program folder; no model folder yet

        gui::AddRomFilesDialog form(ws, ui);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* select = child<QPushButton>(&form, "Button1");
        auto* add = child<QPushButton>(&form, "Button2");
        auto* list = child<QListWidget>(&form, "ListBox1");
        auto* count = child<QLabel>(&form, "Label1");
        QCOMPARE(child<QGroupBox>(&form, "RadioGroup1")->title(), QStringLiteral("Machine"));
        QCOMPARE(count->text(), QStringLiteral("Files:"));
        QVERIFY(!select->isEnabled() && !add->isEnabled());

        auto* qm71rtp = child<QRadioButton>(&form, "RadioButton2");
        QCOMPARE(qm71rtp->text(), QStringLiteral("QM71RTP"));
        QTest::mouseClick(qm71rtp, Qt::LeftButton);
        QVERIFY(select->isEnabled());

        ui.fileNames.push_back(dir.file("new/QM71RTP_01.bkh"));
        QTest::mouseClick(select, Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("QM71RTP_01.bkh"));
        QCOMPARE(count->text(), QStringLiteral("File:1"));
        QVERIFY(add->isEnabled());

        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(ui.englishTexts(), std::vector<std::string> {"FileCopy Complete."});
        QCOMPARE(test::readFile(ws.settings.applicationFolder + "QM71RTP/QM71RTP_01.bkh"), std::string("table\r\n"));

        QTest::mouseClick(child<QPushButton>(&form, "Button3"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!qm71rtp->isChecked());
        QVERIFY(!ws.view.commands.romMenuVisible);
    }
};

QTEST_MAIN(AddRomFilesDialogTest)
#include "AddRomFilesDialog_test.moc"
