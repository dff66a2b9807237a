#include "app/common/Workspace.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "domain/tables/TableFiles.h"
#include "gui/catalogue/InverterSelectionDialog.h"
#include "support/FakeUi.h"
#include "support/Fakes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace tess;

class InverterSelectionDialogTest : public QObject {
    Q_OBJECT

private:
    // An installation holding the one table QM71, Sensorless, 01-B7.
    void install()
    {
        m_dir = std::make_unique<test::TempDir>();
        m_ws = std::make_unique<Workspace>();
        m_ws->settings.applicationFolder = m_dir->path();
        m_ws->settings.language = Language::English;
        m_ws->settings.fileVersion.view = false;
        for (auto& limits : m_ws->settings.fileVersion.limits)
            limits = RomLimits {400, 1};
        test::writeFile(m_dir->file("QM71/" + tables::tableFileName(0, 0, 22)), "table\r\n");
    }

    template <typename T> static T* child(QObject* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }

    static QAction* leafOf(QMenu* menu, const QString& code)
    {
        for (QAction* action : menu->actions()) {
            if (action->data().toString() == code)
                return action;
            if (QMenu* sub = action->menu())
                if (QAction* found = leafOf(sub, code))
                    return found;
        }
        return nullptr;
    }

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<Workspace> m_ws;
    test::FakeUi m_ui;

private slots:
    void newDataSetStoresThePickedIdentity()
    {
        install();
        gui::InverterSelectionDialog form(*m_ws, m_ui, catalogue::SelectionPurpose::NewDataSet);
        bool driven = false;
        QTimer::singleShot(0, &form, [&] {
            auto* romText = child<QLabel>(&form, "Label5");
            auto* ok = child<QPushButton>(&form, "Button1");
            QCOMPARE(form.windowTitle(), QStringLiteral("New data"));
            QVERIFY(!ok->isEnabled());
            QVERIFY(!child<QComboBox>(&form, "ComboBox4")->isVisible());

            QTest::mouseClick(child<QToolButton>(&form, "SpeedButton1"), Qt::LeftButton);
            auto* picker = child<QMenu>(&form, "PopupMenu1");
            QVERIFY(picker && picker->isVisible());
            QAction* leaf = leafOf(picker, QStringLiteral("01-B7"));
            QVERIFY(leaf);
            QCOMPARE(leaf->text(), QStringLiteral("7"));
            QCOMPARE(leaf->toolTip(), QStringLiteral("01-B7"));
            QVERIFY(!leafOf(picker, QStringLiteral("21-A1"))); // not offered for QM71
            leaf->trigger();
            picker->hide();
            QCOMPARE(romText->text(), QStringLiteral("01-B7"));
            QVERIFY(ok->isEnabled());

            auto* capacity = child<QComboBox>(&form, "ComboBox3");
            capacity->setFocus();
            QTest::keyClick(capacity, Qt::Key_Down);
            QCOMPARE(capacity->currentText(), QStringLiteral("2R222"));

            QTest::mouseClick(ok, Qt::LeftButton);
            driven = true;
        });
        QTimer::singleShot(10000, &form, [&] { form.done(-1); }); // a stuck case must not hang the run
        const int result = form.exec();

        QVERIFY(driven);
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(m_ui.messages.empty());
        QVERIFY(m_ws->doc.identity == (InverterIdentity {0, 0, 1, 22}));
        QVERIFY(form.selection().outcome() == catalogue::SelectionOutcome::Accepted);
        QVERIFY(m_ws->doc.romIndexShown == 22);
    }

    void ctrlF9OnCancelShowsDiagnostics()
    {
        install();
        gui::InverterSelectionDialog form(*m_ws, m_ui, catalogue::SelectionPurpose::NewDataSet);
        QVERIFY(form.begin());
        form.show();
        auto* cancel = child<QPushButton>(&form, "Button2");
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_F9, Qt::ControlModifier);
        QCOMPARE(form.width(), 242);
        QVERIFY(child<QLabel>(&form, "Label8")->isVisible());
        QTest::keyClick(cancel, Qt::Key_F10, Qt::ControlModifier);
        QCOMPARE(form.width(), 135);
        QVERIFY(!child<QLabel>(&form, "Label8")->isVisible());

        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(form.selection().outcome() == catalogue::SelectionOutcome::Cancelled);
        QVERIFY(!form.isVisible());
    }

    void returnAndEscapeAsInEveryDialog_data()
    {
        QTest::addColumn<bool>("pickRomVersion");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("Return with OK enabled stores") << true << int(Qt::Key_Return) << false << false;
        QTest::newRow("Return with OK disabled does nothing") << false << int(Qt::Key_Return) << true << false;
        QTest::newRow("Escape cancels") << true << int(Qt::Key_Escape) << false << true;
    }

    void returnAndEscapeAsInEveryDialog()
    {
        QFETCH(bool, pickRomVersion);
        QFETCH(int, key);
        QFETCH(bool, open);
        QFETCH(bool, cancelled);
        install();
        gui::InverterSelectionDialog form(*m_ws, m_ui, catalogue::SelectionPurpose::NewDataSet);
        QVERIFY(form.begin());
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        if (pickRomVersion) {
            form.popUpPicker(form.mapToGlobal(QPoint(10, 10)));
            auto* picker = child<QMenu>(&form, "PopupMenu1");
            leafOf(picker, QStringLiteral("01-B7"))->trigger();
            picker->hide();
        }
        QCOMPARE(child<QPushButton>(&form, "Button1")->isEnabled(), pickRomVersion);
        child<QComboBox>(&form, "ComboBox3")->setFocus();

        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(form.isVisible(), open);
        QCOMPARE(form.selection().outcome() == catalogue::SelectionOutcome::Cancelled, cancelled);
        QCOMPARE(m_ws->doc.identity.romVersion == 22, !open && !cancelled);
        QVERIFY(m_ui.messages.empty());
    }

    void inverterChangeThatAllowsNoMoveNeverShows()
    {
        install();
        m_ws->doc.identity = InverterIdentity {5, 2, 3, 20}; // LX75RTP beyond ROM index 18
        gui::InverterSelectionDialog form(*m_ws, m_ui, catalogue::SelectionPurpose::InverterChange);
        QCOMPARE(form.exec(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QVERIFY(m_ui.englishTexts() == (std::vector<std::string> {"Cannot change this ROM Version."}));
        QVERIFY(form.selection().outcome() == catalogue::SelectionOutcome::Closed);
    }

    void init() { m_ui = test::FakeUi(); }
};

QTEST_MAIN(InverterSelectionDialogTest)
#include "InverterSelectionDialog_test.moc"
