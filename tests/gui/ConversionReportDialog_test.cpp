#include "app/common/Workspace.h"
#include "domain/common/Cp932.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/DemoWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

using namespace tess;

// The conversion report in the real window: shown after an Inverter change,
// reachable from Options while the document holds it, filtered and saved.
class ConversionReportDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> T* find(const char* name) { return m_form->findChild<T*>(QString::fromLatin1(name)); }
    template <typename T> static T* inDialog(QWidget* dialog, const char* name)
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QAction* reportItem() { return find<QAction>("ConversionReport1"); }

    // Hands each modal dialog the command opens to `handle`, in turn, until
    // the command returns.
    void withDialogs(QAction* command, const std::function<void(QWidget*)>& handle)
    {
        QWidget* handled = nullptr;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog == handled)
                return;
            handled = dialog;
            handle(dialog);
        });
        poll.start(20);
        // A stuck case must not hang the run.
        QTimer::singleShot(20000, this, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        command->trigger();
    }

    // In the selection dialog: the next capacity and OK.
    static void nextCapacity(QWidget* dialog)
    {
        auto* capacity = inDialog<QComboBox>(dialog, "ComboBox3");
        capacity->setFocus();
        QTest::keyClick(capacity, Qt::Key_Down);
        QTest::mouseClick(inDialog<QPushButton>(dialog, "Button1"), Qt::LeftButton);
    }

    void newDataSet()
    {
        withDialogs(find<QAction>("New1"), nextCapacity);
        QVERIFY(m_demo->ws.doc.state.open);
    }

    std::unique_ptr<test::DemoWorkspace> m_demo;
    std::unique_ptr<gui::MainWindow> m_form;

private slots:
    void init()
    {
        m_demo = std::make_unique<test::DemoWorkspace>(Language::English);
        m_form = std::make_unique<gui::MainWindow>(m_demo->ws, m_demo->ui, m_demo->store);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup()
    {
        m_form.reset();
        m_demo.reset();
    }

    void changeShowsTheReportWhichFiltersAndSaves()
    {
        newDataSet();
        QVERIFY(!reportItem()->isEnabled());
        const std::string path = m_demo->dir.file("change.csv");
        int reportRows = -1;
        int filteredRows = -1;
        QString filteredCode;
        withDialogs(find<QAction>("K9"), [&](QWidget* dialog) {
            if (dialog->objectName() == QStringLiteral("ModeForm"))
                return nextCapacity(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("ConversionReportForm"));
            auto* rows = inDialog<QTableWidget>(dialog, "ReportRows");
            reportRows = rows->rowCount();
            QTest::keyClicks(inDialog<QLineEdit>(dialog, "ReportFilterEdit"), QStringLiteral("s-2"));
            filteredRows = rows->rowCount();
            filteredCode = rows->item(0, 0)->text();
            m_demo->ui.fileNames.push_back(path);
            QTest::mouseClick(inDialog<QPushButton>(dialog, "ReportSave"), Qt::LeftButton);
            QTest::mouseClick(inDialog<QPushButton>(dialog, "ReportClose"), Qt::LeftButton);
        });
        QVERIFY(m_demo->ws.doc.conversionReport);
        QCOMPARE(reportRows, static_cast<int>(m_demo->ws.doc.conversionReport->rows.size()));
        QVERIFY(reportRows > 1);
        QCOMPARE(filteredRows, 1);
        QCOMPARE(filteredCode, QStringLiteral("S-2"));
        // The file holds every row, not only those the filter left.
        const std::string saved = cp932ToUtf8(test::readFile(path));
        QVERIFY(saved.starts_with("Code,Name,Change,"));
        QVERIFY(saved.find("\r\nS-2,") != std::string::npos);
        const std::string rowLines = saved.substr(0, saved.find("\r\n\r\n"));
        QCOMPARE(static_cast<int>(std::count(rowLines.begin(), rowLines.end(), '\n')), reportRows);
        QVERIFY(m_demo->ui.messages.empty());
    }

    void optionsShowTheReportUntilTheDataSetCloses()
    {
        newDataSet();
        withDialogs(find<QAction>("K9"), [&](QWidget* dialog) {
            if (dialog->objectName() == QStringLiteral("ModeForm"))
                return nextCapacity(dialog);
            QTest::mouseClick(inDialog<QPushButton>(dialog, "ReportClose"), Qt::LeftButton);
        });
        QVERIFY(reportItem()->isEnabled());
        QString shown;
        withDialogs(reportItem(), [&](QWidget* dialog) {
            shown = dialog->objectName();
            QTest::mouseClick(inDialog<QPushButton>(dialog, "ReportClose"), Qt::LeftButton);
        });
        QCOMPARE(shown, QStringLiteral("ConversionReportForm"));

        m_demo->ui.answers.push_back(Answer::No); // the change is not saved
        find<QAction>("Close1")->trigger();
        QVERIFY(!m_demo->ws.doc.state.open);
        QVERIFY(!reportItem()->isEnabled());
    }
};

QTEST_MAIN(ConversionReportDialogTest)
#include "ConversionReportDialog_test.moc"
