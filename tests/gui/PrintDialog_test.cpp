#include "app/common/Workspace.h"
#include "app/print/PrintPresenter.h"
#include "domain/catalogue/ModelCatalogue.h"
#include "gui/common/Fonts.h"
#include "gui/common/QtText.h"
#include "gui/print/PrintDialog.h"
#include "support/DemoWorkspace.h"
#include "support/Fakes.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <sys/stat.h>

using namespace tess;

// The print dialog on a new demo data set: its controls drive the application's
// rules, and Print makes a real PDF file through the Qt canvas.
class PrintDialogTest : public QObject {
    Q_OBJECT

private:
    template <typename T> static T* child(QObject* parent, const QString& name) { return parent->findChild<T*>(name); }

    // On the box's tick mark: a click beside a short caption hits nothing.
    static void tick(QCheckBox* box)
    {
        QVERIFY(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    static std::unique_ptr<test::DemoWorkspace> demoWithDataSet(Language language)
    {
        auto demo = std::make_unique<test::DemoWorkspace>(language);
        demo->newDefaultDataSet();
        demo->ui.messages.clear();
        return demo;
    }

    static int wordsOf(const Workspace& ws, int area)
    {
        const auto a = static_cast<std::size_t>(area);
        return std::max(0, ws.doc.table.areaLast[a] - ws.doc.table.areaFirst[a] + 1);
    }

private slots:
    void printsTwoAreasToAPdfFile()
    {
        auto demo = demoWithDataSet(Language::English);
        QVERIFY(demo->ws.doc.state.open);
        gui::PrintDialog form(demo->ws, demo->ui);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Print"));
        QCOMPARE(child<QLineEdit>(&form, QStringLiteral("Edit1"))->text(), QStringLiteral("#"));
        QCOMPARE(child<QPushButton>(&form, QStringLiteral("Button1"))->text(), QStringLiteral("Print"));

        QTest::keyClicks(child<QLineEdit>(&form, QStringLiteral("Edit2")), QStringLiteral("Kelvaro Works"));
        QCOMPARE(form.presenter().customer(), std::string("Kelvaro Works"));
        tick(child<QCheckBox>(&form, QStringLiteral("CheckBox1")));
        tick(child<QCheckBox>(&form, QStringLiteral("CheckBox4")));
        QVERIFY(form.presenter().areaChecked(0));
        QVERIFY(form.presenter().areaChecked(3));

        // No printer needed: PDF output, the file asked for through the Ui.
        form.printer().setOutputFormat(QPrinter::PdfFormat);
        form.printer().setOutputFileName(QString());
        const std::string pdf = demo->dir.file("areas.pdf");
        demo->ui.fileNames.push_back(pdf);
        QTest::mouseClick(child<QPushButton>(&form, QStringLiteral("Button1")), Qt::LeftButton);

        QVERIFY2(demo->ui.messages.empty(), demo->ui.englishTexts().empty() ? "" : demo->ui.englishTexts()[0].c_str());
        QCOMPARE(demo->ui.fileRequests.size(), std::size_t(1));
        QCOMPARE(demo->ui.fileRequests[0].defaultExtension, std::string("pdf"));
        QFile file(QString::fromStdString(pdf));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));

        const print::PageLayout layout = print::pageLayout(print::Orientation::Portrait, Language::English);
        const int rows = wordsOf(demo->ws, 0) + wordsOf(demo->ws, 3);
        QVERIFY(rows > 0);
        const int pages = (rows + layout.rowsPerPage - 1) / layout.rowsPerPage;
        QCOMPARE(form.presenter().lastPageCount(), pages);
        const qsizetype pageObjects
            = QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])")));
        QCOMPARE(int(pageObjects), pages);
        QVERIFY(child<QPushButton>(&form, QStringLiteral("Button1"))->isEnabled());
        QVERIFY(form.printer().outputFileName().isEmpty());
    }

    void nothingCheckedAsksForNoFile()
    {
        auto demo = demoWithDataSet(Language::Japanese);
        gui::PrintDialog form(demo->ws, demo->ui);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("印刷"));
        QCOMPARE(child<QGroupBox>(&form, QStringLiteral("GroupBox2"))->title(), QStringLiteral("ﾌﾟﾘﾝﾄｴﾘｱ指定"));
        form.printer().setOutputFormat(QPrinter::PdfFormat);
        QTest::mouseClick(child<QPushButton>(&form, QStringLiteral("Button1")), Qt::LeftButton);
        QCOMPARE(demo->ui.shownTexts(), std::vector<std::string> {"プリントエリアが未定です！"});
        QVERIFY(demo->ui.fileRequests.empty());
    }

    // A PDF file is replaced as a saved data file is: completely, keeping
    // its permissions, and never when it is read-only or no regular file.
    void printingReplacesOnlyAWritableRegularPdfFile_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("refusal"); // empty: printed
        QTest::newRow("PrivateFile") << false << 0600 << QString();
        QTest::newRow("ReadOnlyFile") << false << 0444 << QStringLiteral("is read-only");
        QTest::newRow("Fifo") << true << 0600 << QStringLiteral("is not a regular file");
    }

    void printingReplacesOnlyAWritableRegularPdfFile()
    {
        QFETCH(bool, fifo);
        QFETCH(int, mode);
        QFETCH(QString, refusal);
        auto demo = demoWithDataSet(Language::English);
        const std::string pdf = demo->dir.file("areas.pdf");
        if (fifo) {
            QCOMPARE(::mkfifo(pdf.c_str(), mode_t(mode)), 0);
        } else {
            test::writeFile(pdf, "old");
            QCOMPARE(::chmod(pdf.c_str(), mode_t(mode)), 0);
        }
        gui::PrintDialog form(demo->ws, demo->ui);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        tick(child<QCheckBox>(&form, QStringLiteral("CheckBox1")));
        form.printer().setOutputFormat(QPrinter::PdfFormat);
        form.printer().setOutputFileName(QString());
        demo->ui.fileNames.push_back(pdf);
        QTest::mouseClick(child<QPushButton>(&form, QStringLiteral("Button1")), Qt::LeftButton);

        struct stat st { };
        QCOMPARE(::lstat(pdf.c_str(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
        QCOMPARE(S_ISFIFO(st.st_mode), fifo);
        if (refusal.isEmpty()) {
            QVERIFY(demo->ui.messages.empty());
            QVERIFY(test::readFile(pdf).starts_with("%PDF"));
        } else {
            QCOMPARE(demo->ui.englishTexts(),
                std::vector<std::string> {"The printout could not be made.\n" + pdf + ": " + refusal.toStdString()});
            if (!fifo)
                QCOMPARE(test::readFile(pdf), std::string("old"));
        }
        for (const auto& [name, bytes] : test::folderContents(demo->dir.path()))
            QVERIFY2(name.find(TemporaryFileMarker) == std::string::npos, name.c_str());
    }

    void allCheckAlternatesAndAnAreaClickClearsIt()
    {
        auto demo = demoWithDataSet(Language::English);
        gui::PrintDialog form(demo->ws, demo->ui);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* all = child<QCheckBox>(&form, QStringLiteral("CheckBox20"));
        const auto area = [&](int n) { return child<QCheckBox>(&form, QStringLiteral("CheckBox%1").arg(n)); };
        QCOMPARE(area(16)->text(), QStringLiteral("S area"));

        tick(all);
        QVERIFY(all->isChecked());
        for (int n = 1; n <= 16; ++n)
            QVERIFY(area(n)->isChecked());
        tick(area(2));
        QVERIFY(!area(2)->isChecked());
        QVERIFY(!all->isChecked());
        tick(all);
        QVERIFY(!all->isChecked());
        for (int n = 1; n <= 16; ++n)
            QVERIFY(!area(n)->isChecked());
    }

    // Columns of a printout line up only when every character advances
    // alike; the Japanese face must also have the Japanese glyphs.
    void printFontIsFixedPitchInBothLanguages_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::newRow("Japanese") << true;
        QTest::newRow("English") << false;
    }

    void printFontIsFixedPitchInBothLanguages()
    {
        QFETCH(bool, japanese);
        const QString family = gui::printFontFamily(
            gui::textOf(TextId::PrintFontName, japanese ? Language::Japanese : Language::English));
        const QFontMetricsF metrics {QFont(family)};
        const qreal narrow = metrics.horizontalAdvance(QStringLiteral("iiii"));
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("WWWW")), narrow);
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("0.12")), narrow);
        if (japanese)
            QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese), qPrintable(family));
    }
};

QTEST_MAIN(PrintDialogTest)
#include "PrintDialog_test.moc"
