#include "app/common/Workspace.h"
#include "app/mainwindow/Commands.h"
#include "app/print/CommissioningReportPresenter.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/print/CommissioningReportDialog.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tess;

// File > Commissioning Report on a saved demo data set: the form starts with
// the fields typed last, and Save PDF writes a real PDF through Qt's printer.
class CommissioningReportDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(QObject* parent, const char* name)
    {
        return parent->findChild<T*>(QString::fromLatin1(name));
    }

    static std::unique_ptr<test::DemoWorkspace> savedDataSet()
    {
        auto demo = std::make_unique<test::DemoWorkspace>(Language::English);
        demo->newDefaultDataSet();
        demo->ui.fileNames.push_back(demo->dir.file("pump3.csl"));
        saveDocumentAs(demo->ws, demo->ui);
        demo->ui.messages.clear();
        return demo;
    }

private slots:
    void savesThePdfWithTheFieldsTypedAndKeepsThem()
    {
        auto demo = savedDataSet();
        QVERIFY(demo->ws.doc.state.saved);
        demo->store.writeString(print::UserValueReportSite, "Plant 7");
        gui::CommissioningReportDialog form(demo->ws, demo->ui, demo->store);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Commissioning Report"));
        QCOMPARE(child<QLineEdit>(&form, "SiteEdit")->text(), QStringLiteral("Plant 7"));
        const std::string pdf = demo->dir.file("pump3.pdf");
        QCOMPARE(child<QLineEdit>(&form, "OutputEdit")->text(), QString::fromStdString(pdf));

        QTest::keyClicks(child<QLineEdit>(&form, "TagEdit"), QStringLiteral("PUMP-3"));
        QTest::keyClicks(child<QLineEdit>(&form, "EngineerEdit"), QStringLiteral("K. Sato"));
        QTest::mouseClick(child<QCheckBox>(&form, "ListAllCheck"), Qt::LeftButton, {}, QPoint(6, 8));
        QVERIFY(form.presenter().fields().listAll);
        QTest::mouseClick(child<QPushButton>(&form, "SaveButton"), Qt::LeftButton);

        QCOMPARE(demo->ui.shownTexts(), std::vector<std::string> {});
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(test::readFile(pdf).starts_with("%PDF"));
        QVERIFY(form.presenter().lastPageCount() > 10);
        QVERIFY(print::rememberedReportFields(demo->store)
            == (print::ReportFields {"Plant 7", "PUMP-3", "K. Sato", false}));
    }

    void unsavedChangesAreToldAndNothingIsWritten()
    {
        auto demo = savedDataSet();
        demo->ws.doc.state.saved = false;
        gui::CommissioningReportDialog form(demo->ws, demo->ui, demo->store);
        form.show();
        QTest::mouseClick(child<QPushButton>(&form, "SaveButton"), Qt::LeftButton);
        QCOMPARE(demo->ui.englishTexts(),
            (std::vector<std::string> {"The report shows the data file as saved. Save the data set first."}));
        QVERIFY(!fileExists(demo->dir.file("pump3.pdf")));
        QVERIFY(form.isVisible());
    }

    void theFileMenuOpensTheFormWhileADataSetIsShown()
    {
        test::DemoWorkspace demo(Language::English);
        {
            gui::MainWindow window(demo.ws, demo.ui, demo.store);
            QVERIFY(!child<QAction>(&window, "CommissioningReport1")->isEnabled());
        }
        demo.newDefaultDataSet();
        gui::MainWindow window(demo.ws, demo.ui, demo.store);
        window.show();
        QAction* item = child<QAction>(&window, "CommissioningReport1");
        QVERIFY(item->isEnabled());
        QString opened;
        QTimer::singleShot(0, &window, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = dialog->objectName();
                QTest::mouseClick(child<QPushButton>(dialog, "CloseButton"), Qt::LeftButton);
            }
        });
        item->trigger();
        QCOMPARE(opened, QStringLiteral("CommissioningReportForm"));
    }
};

QTEST_MAIN(CommissioningReportDialogTest)
#include "CommissioningReportDialog_test.moc"
