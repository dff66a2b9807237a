#include "core/app/Workspace.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"

#include "support/FakeUi.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QLineEdit>
#include <QtTest>

using tess::GridRows;
using tess::Workspace;
using tess::gui::ParameterGridModel;
using tess::gui::ParameterGridView;

namespace {

constexpr int ValueRow = 20; // grid row of "B-3", stored 125 with one decimal place

// A document as a table load leaves it, written by hand: every slot a
// parameter of area "B" with one decimal place, areas 10 slots apart.
void fillDocument(Workspace& ws)
{
    GridRows& rows = ws.doc.rows;
    rows.setRowCount(tess::GridRowsWithTable);
    for (int slot = 0; slot < tess::SlotCount; ++slot) {
        const int row = slot + 1;
        rows.setText(row, tess::ColCode, "B-" + std::to_string(slot));
        rows.setText(row, tess::ColName, "名前");
        rows.setText(row, tess::ColRange, "0.0/100.0");
        rows.setText(row, tess::ColDefault, "1.0");
        rows.setText(row, tess::ColValue, "12.5");
        rows.setText(row, tess::ColDecimals, "1");
        rows.setText(row, tess::ColFigures, "4");
        ws.doc.values[static_cast<std::size_t>(slot)] = 125;
    }
    for (int area = 0; area < tess::AreaCount; ++area)
        ws.doc.table.areaFirst[static_cast<std::size_t>(area)] = static_cast<std::uint16_t>(area * 10);
    ws.doc.state.open = true;
}

} // namespace

class GridModelTest : public QObject {
    Q_OBJECT

private slots:
    void passesModelTesterThroughOpenAndClose()
    {
        Workspace ws;
        ParameterGridModel model(ws);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), tess::GridRowsEmpty - 1);

        fillDocument(ws);
        model.refresh();
        QCOMPARE(model.rowCount(), tess::GridRowsWithTable - 1);
        QCOMPARE(model.columnCount(), tess::GridColumnCount);
        QCOMPARE(model.index(ValueRow - 1, tess::ColCode).data().toString(), QStringLiteral("B-19"));
        QCOMPARE(model.index(0, tess::ColName).data().toString(), QStringLiteral("名前"));

        ws.doc.rows.setText(ValueRow, tess::ColValue, "13.0");
        model.valueColumnChanged();
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data().toString(), QStringLiteral("13.0"));

        ws.doc.rows.clearBody();
        ws.doc.state.open = false;
        model.refresh();
        QCOMPARE(model.rowCount(), tess::GridRowsEmpty - 1);
    }

    void onlyValueColumnOfOpenDocumentIsEditable()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        for (int column = 0; column < tess::GridColumnCount; ++column) {
            const Qt::ItemFlags flags = model.flags(model.index(5, column));
            const bool value = column == tess::ColValue;
            QCOMPARE(flags.testFlag(Qt::ItemIsEditable), value);
            QCOMPARE(flags.testFlag(Qt::ItemIsSelectable), value);
        }

        ws.doc.state.open = false;
        model.refresh();
        QVERIFY(!model.flags(model.index(5, tess::ColValue)).testFlag(Qt::ItemIsSelectable));
    }

    void editedCellIsPurpleOnceThenBlue()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        ws.doc.edit.row = ValueRow;
        ws.doc.edit.justEdited = true;
        const auto background = [&](int gridRow) {
            return model.index(gridRow - 1, tess::ColValue).data(Qt::BackgroundRole).value<QColor>();
        };

        QCOMPARE(background(ValueRow + 1), ParameterGridModel::valueColour());
        QCOMPARE(background(ValueRow), ParameterGridModel::editedValueColour());
        QCOMPARE(background(ValueRow), ParameterGridModel::valueColour());
        QVERIFY(!ws.doc.edit.justEdited);
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QVERIFY(!model.index(ValueRow - 1, tess::ColName).data(Qt::BackgroundRole).isValid());
    }

    void titlesFollowLanguageAndWrittenHeader()
    {
        Workspace ws;
        ParameterGridModel model(ws);
        ws.language = tess::Language::Japanese;
        QCOMPARE(
            model.headerData(tess::ColRange, Qt::Horizontal).toString(), QStringLiteral("設定範囲（最小値/最大値）"));
        ws.language = tess::Language::English;
        QCOMPARE(model.headerData(tess::ColValue, Qt::Horizontal).toString(), QStringLiteral("Setting val."));
        ws.doc.rows.setText(0, tess::ColDecimals, "File 2");
        QCOMPARE(model.headerData(tess::ColDecimals, Qt::Horizontal).toString(), QStringLiteral("File 2"));
    }

    void enterInEditorStoresThroughCore()
    {
        Workspace ws;
        fillDocument(ws);
        tess::test::FakeUi ui;
        ParameterGridModel model(ws);
        tess::gui::WorkspaceGridEditing editing(ws, ui);
        bool saveEnabled = false;
        editing.committed = [&](const tess::CellCommitResult&) { saveEnabled = ws.commands.save1; };
        ParameterGridView view;
        view.setGridModel(&model);
        view.setEditCallbacks(&editing);
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.objectName(), QStringLiteral("StringGrid1"));

        view.setCurrentIndex(model.index(ValueRow - 1, tess::ColValue));
        view.edit(view.currentIndex());
        auto* editor = view.findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("13.5"));
        QTest::keyClick(editor, Qt::Key_Return);

        QCOMPARE(ws.doc.values[ValueRow - 1], 135);
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data().toString(), QStringLiteral("13.5"));
        QVERIFY(saveEnabled);
        QVERIFY(ui.messages.empty());

        // Typing without Enter and clicking elsewhere leaves the stored value.
        view.edit(view.currentIndex());
        editor = view.findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_9);
        const QRect other = view.visualRect(model.index(ValueRow + 1, tess::ColValue));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(ws.doc.values[ValueRow - 1], 135);
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data().toString(), QStringLiteral("13.5"));
    }

    void clickOutsideValueColumnSelectsNothing()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        ParameterGridView view;
        view.setGridModel(&model);
        view.applyColumnWidths(tess::Language::English);
        view.resize(900, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QRect code = view.visualRect(model.index(3, tess::ColDefault));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, code.center());
        QVERIFY(view.selectionModel()->selectedIndexes().isEmpty());
    }

    void areaJumpsScrollTheGrid()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        ParameterGridView view;
        view.setGridModel(&model);
        view.resize(800, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.setTopGridRow(35);

        QTest::keyClick(&view, Qt::Key_F2, Qt::ShiftModifier);
        QCOMPARE(view.topGridRow(), 41);
        QTest::keyClick(&view, Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(view.topGridRow(), 31);
    }
};

QTEST_MAIN(GridModelTest)
#include "GridModel_test.moc"
