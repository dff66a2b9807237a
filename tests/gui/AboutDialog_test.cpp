#include "app/common/Workspace.h"
#include "gui/app/AboutDialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace tess;

class AboutDialogTest : public QObject {
    Q_OBJECT

private:
    static Workspace installation(bool specialFunctions)
    {
        Workspace ws;
        ws.settings.language = Language::English;
        ws.settings.fileVersion.fileVersion = "7";
        ws.settings.fileVersion.specialFunctions = specialFunctions;
        ws.settings.tableFileCount = {3, 0, 2, 0, 0, 0, 1, 0, 0, 5};
        return ws;
    }

    template <typename T> static T* child(QObject* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void hiddenSpotOnTheIconReversesTheTitle()
    {
        const Workspace ws = installation(false);
        gui::AboutDialog box(ws, QFont(QStringLiteral("Sans Serif"), 9));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* icon = child<QLabel>(&box, "ProgramIcon");
        auto* title = child<QLabel>(&box, "ProgramName");
        QVERIFY(icon && title);
        QCOMPARE(icon->size(), QSize(65, 57));
        QVERIFY(!icon->pixmap().isNull());
        QCOMPARE(title->text(), QStringLiteral("71Series Tessaline"));

        QTest::mouseMove(icon, QPoint(32, 28));
        QTest::mouseDClick(icon, Qt::LeftButton, {}, QPoint(32, 28));
        QCOMPARE(title->text(), QStringLiteral("enilasseT seireS17"));
        QTest::mouseMove(icon, QPoint(33, 29)); // still on the spot
        QCOMPARE(title->text(), QStringLiteral("enilasseT seireS17"));
        QTest::mouseMove(icon, QPoint(34, 29));
        QCOMPARE(title->text(), QStringLiteral("71Series Tessaline"));

        QTest::mouseClick(child<QPushButton>(&box, "OKButton"), Qt::LeftButton);
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void specialFunctionsWidenTheBoxToShowTheCounts()
    {
        const Workspace off = installation(false);
        gui::AboutDialog narrow(off, QFont());
        QCOMPARE(narrow.size(), QSize(375, 230));
        QCOMPARE(narrow.windowTitle(), QStringLiteral("Version information"));
        // Panel2 lies beyond the visible width.
        QVERIFY(child<QFrame>(&narrow, "Panel2")->geometry().left() >= narrow.width());

        const Workspace on = installation(true);
        gui::AboutDialog wide(on, QFont());
        QCOMPARE(wide.size(), QSize(672, 230));
        const QRect panel2 = child<QFrame>(&wide, "Panel2")->geometry();
        QCOMPARE(panel2.width(), 273);
        QVERIFY(panel2.right() < wide.width());
        QVERIFY(
            child<QLabel>(&wide, "Label1")->text().startsWith(QStringLiteral("File Version 7     Total Files : 6\n")));
    }
};

QTEST_MAIN(AboutDialogTest)
#include "AboutDialog_test.moc"
