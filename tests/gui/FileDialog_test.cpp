#include "gui/common/FileDialog.h"
#include "gui/common/QtTranslations.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace tess;

// The program's file dialogs as the user sees them.
class FileDialogTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gui::useQtTranslations(Language::English); }

    void openDialogPresetsThePatternInTheLanguage_data()
    {
        QTest::addColumn<bool>("japanese");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("fileNameLabel");
        QTest::newRow("English") << false << QStringLiteral("Open") << QStringLiteral("File &name:");
        QTest::newRow("Japanese") << true << QStringLiteral("開く") << QStringLiteral("ファイル名(&N):");
    }

    void openDialogPresetsThePatternInTheLanguage()
    {
        QFETCH(bool, japanese);
        QFETCH(QString, caption);
        QFETCH(QString, fileNameLabel);
        if (japanese
            && !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm")))
            QSKIP("Qt's Japanese catalogue (qt6-translations-l10n) is not installed");
        gui::useQtTranslations(japanese ? Language::Japanese : Language::English);

        FileDialogRequest request;
        request.filter = "Console Data(*.csl)|*.csl";
        request.fileName = "*.csl";
        QString shownName, shownCaption, shownLabel;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            shownCaption = dialog->windowTitle();
            shownLabel = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text();
            dialog->reject();
        });
        QTimer::singleShot(10000, this, [] {
            if (QWidget* stuck = QApplication::activeModalWidget())
                stuck->close();
        });

        QVERIFY(!gui::FileDialog::chooseOpen(nullptr, request));
        QCOMPARE(shownName, QStringLiteral("*.csl"));
        QCOMPARE(shownCaption, caption);
        QCOMPARE(shownLabel, fileNameLabel);
    }
};

QTEST_MAIN(FileDialogTest)
#include "FileDialog_test.moc"
