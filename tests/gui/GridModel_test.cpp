#include "app/common/Workspace.h"
#include "domain/tables/ValueFormat.h"
#include "domain/text/Texts.h"
#include "gui/mainwindow/ParameterGridModel.h"
#include "gui/mainwindow/ParameterGridView.h"

#include "support/FakeUi.h"
#include "support/TypedTable.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QtTest>

using tess::Workspace;
using tess::gui::ParameterGridModel;
using tess::gui::ParameterGridView;

namespace {

constexpr int ValueRow = 20; // grid row of "B-3", stored 125 with one decimal place

// A document as a table load leaves it, written by hand: every slot a
// parameter of area "B" with one decimal place, areas 10 slots apart.
void fillDocument(Workspace& ws)
{
    tess::test::TypedTable table;
    for (int slot = 0; slot < tess::SlotCount; ++slot) {
        tess::ParameterDef& def = table.record(slot, "B-" + std::to_string(slot));
        def.nameJapanese = def.nameEnglish = "名前";
        def.rangeText = "0.0/100.0";
        def.defaultUnits = 10;
        def.decimals = 1;
        def.decimalsText = "1";
        def.significantFigures = 4;
        ws.doc.values[static_cast<std::size_t>(slot)] = 125;
    }
    ws.doc.table = table.table();
    ws.doc.content = tess::GridContent::Table;
    for (int area = 0; area < tess::AreaCount; ++area)
        ws.doc.table.areaFirst[static_cast<std::size_t>(area)] = static_cast<std::uint16_t>(area * 10);
    ws.doc.state.open = true;
}

// Values that differ from row to row as in a real data set: grid row r
// holds (r mod 10).0, so the row below ValueRow (0.0) starts with "1".
void varyValues(Workspace& ws)
{
    for (int slot = 0; slot < tess::SlotCount; ++slot) {
        const int row = slot + 1;
        ws.doc.values[static_cast<std::size_t>(slot)] = row % 10 * 10;
    }
}

// Makes the cell of ValueRow show text, through the field it is computed
// from (English names).
void showInCell(Workspace& ws, int column, const std::string& text)
{
    tess::ParameterTable& table = ws.doc.table;
    auto defs = std::make_shared<tess::ParameterDefs>(*table.defs);
    tess::ParameterDef& def = *(*defs)[ValueRow - 1];
    auto kept = std::make_shared<std::string>(text);
    if (column == tess::ColName) {
        def.nameEnglish = *kept;
    } else if (column == tess::ColDefault) {
        // "-12345.678": three places.
        def.decimals = 3;
        def.defaultUnits = *tess::tables::toScaledInteger(text);
    } else {
        ws.doc.values[ValueRow - 1] = *tess::tables::toScaledInteger(text);
    }
    table.defs = defs;
    table.texts
        = std::make_shared<std::pair<std::shared_ptr<const void>, std::shared_ptr<std::string>>>(table.texts, kept);
}

// Keys as a fast typist sends them: each to whatever has the keyboard at
// that moment, with no pause in which a timer could run.
void typeAtFocus(const QString& text)
{
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        QTest::keyClick(target, c.toLatin1());
    }
}

// A grid with its editing callbacks on a document, shown in an active
// window so that the keyboard goes where a user's would.
struct ShownGrid {
    Workspace ws;
    tess::test::FakeUi ui;
    std::unique_ptr<ParameterGridModel> model;
    std::unique_ptr<tess::gui::WorkspaceGridEditing> editing;
    ParameterGridView view;

    ShownGrid()
    {
        fillDocument(ws);
        varyValues(ws);
        model = std::make_unique<ParameterGridModel>(ws);
        editing = std::make_unique<tess::gui::WorkspaceGridEditing>(ws, ui);
        view.setGridModel(model.get());
        view.setEditCallbacks(editing.get());
        view.applyColumnWidths(tess::Language::English);
        view.resize(900, 700);
    }
    bool showActive()
    {
        view.show();
        view.activateWindow();
        return QTest::qWaitForWindowActive(&view);
    }
    QModelIndex cell(int gridRow, int column) const { return model->indexOfGridRow(gridRow, column); }
    QPoint centre(int gridRow, int column) const { return view.visualRect(cell(gridRow, column)).center(); }
};

enum class Approach { SecondClick, SingleClick, DoubleClick, ArrowKeys };

// Mouse events as the window system hands them out: each goes to the widget
// under the pointer at that moment (an open editor, say), and a second press
// soon after a click at the same place makes a double-click.
QPoint inWindow(QWidget* widget, QPoint at)
{
    return widget->mapTo(widget->window(), at);
}
void clickAt(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, at));
}
void doubleClickAt(QWidget* widget, QPoint at)
{
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {}, inWindow(widget, at));
}

// How the editor of a value cell is opened.
enum class Opening {
    ClickOnCurrent, // one click on the current cell
    ClickWaitDoubleClick, // a click makes the cell current; a double-click later
    DoubleClickOnAnother, // a double-click on a cell that is not current
    F2,
    EnterThenKey, // Enter on the current cell, then typing
    Key, // typing on the current cell
};

// What the user does to the caret before typing.
enum class Caret {
    Untouched,
    HomeKey,
    ClickAtTextEnd, // a click of its own in the open editor, after the opening
};

} // namespace

Q_DECLARE_METATYPE(Approach)
Q_DECLARE_METATYPE(Opening)
Q_DECLARE_METATYPE(Caret)

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

        ws.doc.values[ValueRow - 1] = 130;
        model.valueColumnChanged();
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data().toString(), QStringLiteral("13.0"));

        ws.doc.content = tess::GridContent::None;
        ws.doc.state.open = false;
        model.refresh();
        QCOMPARE(model.rowCount(), tess::GridRowsEmpty - 1);
    }

    // A filter shows some rows; they keep their grid rows, and the rows it
    // hides have no index.
    void filterShowsRowsByTheirGridRows()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        tess::GridFilterSettings settings;
        settings.searchText = "B-1";
        model.setFilter(settings);
        QCOMPARE(model.rowCount(), 1 + 10 + 100); // B-1, B-10 to B-19, B-100 to B-199
        QCOMPARE(model.index(1, tess::ColCode).data().toString(), QStringLiteral("B-10"));
        QCOMPARE(model.gridRow(model.index(1, tess::ColValue)), 11);
        QCOMPARE(model.indexOfGridRow(11, tess::ColValue), model.index(1, tess::ColValue));
        QVERIFY(!model.indexOfGridRow(30, tess::ColValue).isValid()); // "B-29"

        model.setFilter({});
        QCOMPARE(model.rowCount(), tess::GridRowsWithTable - 1);
        QCOMPARE(model.gridRow(model.index(ValueRow - 1, tess::ColValue)), ValueRow);
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

    void editedCellIsPurpleUntilTheGridRereadsTheDocument_data()
    {
        QTest::addColumn<bool>("byRefresh");
        QTest::newRow("next edit step") << false;
        QTest::newRow("refresh after a command") << true;
    }

    void editedCellIsPurpleUntilTheGridRereadsTheDocument()
    {
        QFETCH(bool, byRefresh);
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        ws.doc.edit.row = ValueRow;
        ws.doc.edit.justEdited = true;
        model.valueColumnChanged(); // as the grid does after Enter
        const auto background = [&](int gridRow) {
            return model.index(gridRow - 1, tess::ColValue).data(Qt::BackgroundRole).value<QColor>();
        };

        QCOMPARE(background(ValueRow + 1), ParameterGridModel::valueColour());
        QCOMPARE(background(ValueRow), ParameterGridModel::editedValueColour());
        QCOMPARE(background(ValueRow), ParameterGridModel::editedValueColour());
        if (byRefresh)
            model.refresh();
        else
            model.valueColumnChanged();
        QCOMPARE(background(ValueRow), ParameterGridModel::valueColour());
        QVERIFY(!ws.doc.edit.justEdited);
        QCOMPARE(model.index(ValueRow - 1, tess::ColValue).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QVERIFY(!model.index(ValueRow - 1, tess::ColName).data(Qt::BackgroundRole).isValid());
    }

    // A value outside its row's range (a damaged digit, a hand edit) shows
    // in red, changed-from-default bold still beside it, until it holds.
    void valueItsRowDoesNotAllowIsRed()
    {
        Workspace ws;
        fillDocument(ws);
        ws.doc.values[static_cast<std::size_t>(ValueRow - 1)] = 1001; // 100.1, range 0.0/100.0
        ParameterGridModel model(ws);
        const QModelIndex value = model.index(ValueRow - 1, tess::ColValue);
        QCOMPARE(value.data(Qt::ForegroundRole).value<QColor>(), ParameterGridModel::notAllowedValueColour());
        QVERIFY(value.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(model.index(ValueRow, tess::ColValue).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model.filtered().notAllowedCount, 1);

        ws.doc.values[static_cast<std::size_t>(ValueRow - 1)] = 1000;
        model.refresh();
        QCOMPARE(value.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model.filtered().notAllowedCount, 0);
    }

    // However often Qt asks for a cell, asking changes neither the answers
    // nor the document.
    void readingCellsChangesNothing()
    {
        Workspace ws;
        fillDocument(ws);
        ParameterGridModel model(ws);
        ws.doc.edit.row = ValueRow;
        ws.doc.edit.justEdited = true;
        model.valueColumnChanged();
        const bool justEdited = ws.doc.edit.justEdited;
        const auto readAll = [&] {
            QVariantList answers;
            for (int gridRow = ValueRow - 1; gridRow <= ValueRow + 1; ++gridRow)
                for (int column = 0; column < tess::GridColumnCount; ++column)
                    for (const int role : {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, Qt::ForegroundRole})
                        answers << model.index(gridRow - 1, column).data(role);
            return answers;
        };

        const QVariantList first = readAll();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(readAll(), first);
        QCOMPARE(ws.doc.edit.justEdited, justEdited);
        QCOMPARE(ws.doc.edit.row, ValueRow);
    }

    void titlesFollowLanguageAndWrittenHeader()
    {
        Workspace ws;
        ParameterGridModel model(ws);
        ws.settings.language = tess::Language::Japanese;
        QCOMPARE(
            model.headerData(tess::ColRange, Qt::Horizontal).toString(), QStringLiteral("設定範囲（最小値/最大値）"));
        ws.settings.language = tess::Language::English;
        QCOMPARE(model.headerData(tess::ColValue, Qt::Horizontal).toString(), QStringLiteral("Setting val."));
        // A comparison names its own columns.
        ws.doc.state.compareMode = true;
        QCOMPARE(model.headerData(tess::ColDecimals, Qt::Horizontal).toString(),
            QString::fromUtf8(tess::text(tess::TextId::CompareTitleValue, tess::Language::English).data()));
    }

    void enterInEditorStoresThroughCore()
    {
        Workspace ws;
        fillDocument(ws);
        tess::test::FakeUi ui;
        ParameterGridModel model(ws);
        tess::gui::WorkspaceGridEditing editing(ws, ui);
        bool saveEnabled = false;
        editing.committed = [&](const tess::CellCommitResult&) { saveEnabled = ws.view.commands.saveItem; };
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

    void fastTypingLandsInTheCellReached_data()
    {
        QTest::addColumn<Approach>("approach");
        QTest::newRow("click, click again, type") << Approach::SecondClick;
        QTest::newRow("one click, type") << Approach::SingleClick;
        QTest::newRow("double click, type") << Approach::DoubleClick;
        QTest::newRow("arrow keys, type") << Approach::ArrowKeys;
    }

    void fastTypingLandsInTheCellReached()
    {
        QFETCH(Approach, approach);
        ShownGrid grid;
        QVERIFY(grid.showActive());
        const tess::ParameterSet before = grid.ws.doc.values;
        QWidget* viewport = grid.view.viewport();
        const QPoint target = grid.centre(ValueRow, tess::ColValue);
        grid.view.setCurrentIndex(grid.cell(ValueRow - 2, tess::ColValue));
        grid.view.setFocus();

        switch (approach) {
        case Approach::SecondClick:
            QTest::mouseClick(viewport, Qt::LeftButton, {}, target);
            QTest::mouseClick(viewport, Qt::LeftButton, {}, target);
            break;
        case Approach::SingleClick:
            QTest::mouseClick(viewport, Qt::LeftButton, {}, target);
            break;
        case Approach::DoubleClick:
            QTest::mouseClick(viewport, Qt::LeftButton, {}, target);
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, target);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, target);
            break;
        case Approach::ArrowKeys:
            QTest::keyClick(&grid.view, Qt::Key_Down);
            QTest::keyClick(&grid.view, Qt::Key_Down);
            break;
        }
        typeAtFocus(QStringLiteral("12.5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

        QCOMPARE(grid.view.currentIndex(), grid.cell(ValueRow, tess::ColValue));
        tess::ParameterSet expected = before;
        expected[ValueRow - 1] = 125;
        for (std::size_t slot = 0; slot < expected.size(); ++slot)
            QVERIFY2(grid.ws.doc.values[slot] == expected[slot], qPrintable(QStringLiteral("slot %1").arg(slot)));
        QVERIFY(grid.ui.messages.empty());
    }

    void typedTextReplacesTheWholeValue_data()
    {
        QTest::addColumn<Opening>("opening");
        QTest::addColumn<Caret>("caret");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        // The cell shows 10.0 (stored 100, one decimal place). The double-click
        // after a wait is the one whose second click lands in the editor the
        // first click opened; "\b" is Backspace.
        QTest::newRow("click on the current cell") << Opening::ClickOnCurrent << Caret::Untouched << "12.5" << 125;
        QTest::newRow("click, wait, double-click")
            << Opening::ClickWaitDoubleClick << Caret::Untouched << "12.5" << 125;
        QTest::newRow("double-click on another cell")
            << Opening::DoubleClickOnAnother << Caret::Untouched << "12.5" << 125;
        QTest::newRow("F2") << Opening::F2 << Caret::Untouched << "12.5" << 125;
        QTest::newRow("Enter, then a typed key") << Opening::EnterThenKey << Caret::Untouched << "12.5" << 125;
        QTest::newRow("a typed key") << Opening::Key << Caret::Untouched << "12.5" << 125;
        QTest::newRow("double-click, caret moved by Home")
            << Opening::ClickWaitDoubleClick << Caret::HomeKey << "1" << 1100;
        QTest::newRow("click, caret placed by a later click")
            << Opening::ClickOnCurrent << Caret::ClickAtTextEnd << "\b5" << 105;
    }

    void typedTextReplacesTheWholeValue()
    {
        QFETCH(Opening, opening);
        QFETCH(Caret, caret);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        ShownGrid grid;
        grid.ws.doc.values[ValueRow - 1] = 100;
        grid.model->valueColumnChanged();
        QVERIFY(grid.showActive());
        QWidget* viewport = grid.view.viewport();
        const QPoint target = grid.centre(ValueRow, tess::ColValue);
        const bool startsOnTarget
            = opening != Opening::ClickWaitDoubleClick && opening != Opening::DoubleClickOnAnother;
        grid.view.setCurrentIndex(grid.cell(startsOnTarget ? ValueRow : ValueRow - 2, tess::ColValue));
        grid.view.setFocus();

        switch (opening) {
        case Opening::ClickOnCurrent:
            clickAt(viewport, target);
            break;
        case Opening::ClickWaitDoubleClick:
            clickAt(viewport, target);
            QTest::qWait(QApplication::doubleClickInterval() + 100);
            QCOMPARE(grid.view.currentIndex(), grid.cell(ValueRow, tess::ColValue));
            doubleClickAt(viewport, target);
            break;
        case Opening::DoubleClickOnAnother:
            doubleClickAt(viewport, target);
            break;
        case Opening::F2:
            QTest::keyClick(&grid.view, Qt::Key_F2);
            break;
        case Opening::EnterThenKey:
            QTest::keyClick(&grid.view, Qt::Key_Return);
            break;
        case Opening::Key:
            break;
        }
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (opening != Opening::EnterThenKey && opening != Opening::Key) {
            QVERIFY(editor);
            QCOMPARE(editor->selectedText(), QStringLiteral("10.0"));
        }
        switch (caret) {
        case Caret::Untouched:
            break;
        case Caret::HomeKey:
            QTest::keyClick(editor, Qt::Key_Home);
            break;
        case Caret::ClickAtTextEnd:
            QTest::qWait(QApplication::doubleClickInterval() + 100);
            clickAt(editor, QPoint(editor->width() - 3, editor->height() / 2));
            QVERIFY(!editor->hasSelectedText());
            break;
        }
        typeAtFocus(typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

        const std::string refusal = grid.ui.messages.empty() ? std::string() : grid.ui.messages.front().text.en;
        QVERIFY2(refusal.empty(), refusal.c_str());
        QCOMPARE(grid.ws.doc.values[ValueRow - 1], stored);
    }

    void acceptedEntryStaysPurpleThroughRepaintsUntilTheCursorMoves()
    {
        ShownGrid grid;
        QVERIFY(grid.showActive());
        grid.view.setCurrentIndex(grid.cell(ValueRow, tess::ColValue));
        grid.view.setFocus();
        const auto background
            = [&] { return grid.cell(ValueRow, tess::ColValue).data(Qt::BackgroundRole).value<QColor>(); };

        typeAtFocus(QStringLiteral("12.5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(grid.ws.doc.values[ValueRow - 1], 125);
        for (int i = 0; i < 3; ++i) {
            grid.view.viewport()->repaint();
            QCOMPARE(background(), ParameterGridModel::editedValueColour());
        }

        QTest::keyClick(&grid.view, Qt::Key_Down);
        QCOMPARE(background(), ParameterGridModel::valueColour());
    }

    void typingOnAValueThatCannotBeEditedMovesNothing()
    {
        ShownGrid grid;
        grid.ws.doc.state.compareMode = true;
        grid.model->refresh();
        QVERIFY(grid.showActive());
        grid.view.setCurrentIndex(grid.cell(ValueRow, tess::ColValue));
        grid.view.setFocus();

        typeAtFocus(QStringLiteral("1"));
        QCOMPARE(grid.view.currentIndex(), grid.cell(ValueRow, tess::ColValue));
        QCOMPARE(QApplication::focusWidget(), &grid.view); // no editor opened
    }

    void cutOffTextShowsWholeAsTooltip_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tooltip");
        const QString longName = QStringLiteral("Acceleration time of the second motor after a restart");
        QTest::newRow("long name, frozen column") << int(tess::ColName) << longName << true;
        QTest::newRow("short name, frozen column") << int(tess::ColName) << QStringLiteral("Gain") << false;
        QTest::newRow("long default, scrolling column")
            << int(tess::ColDefault) << QStringLiteral("-12345.678") << true;
        QTest::newRow("short value, scrolling column") << int(tess::ColValue) << QStringLiteral("1.0") << false;
    }

    void cutOffTextShowsWholeAsTooltip()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(bool, tooltip);
        ShownGrid grid;
        showInCell(grid.ws, column, text.toStdString());
        grid.model->refresh();
        QVERIFY(grid.showActive());
        // A tooltip of an earlier row fades out first.
        QTRY_VERIFY(!QToolTip::isVisible());

        auto* frozen = grid.view.findChild<QTableView*>(QStringLiteral("StringGrid1Frozen"));
        QAbstractItemView* shownBy = column < ParameterGridView::FrozenColumns ? frozen : &grid.view;
        const QPoint at = shownBy->visualRect(grid.cell(ValueRow, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, shownBy->viewport()->mapToGlobal(at));
        QApplication::sendEvent(shownBy->viewport(), &help);

        QCOMPARE(QToolTip::isVisible(), tooltip);
        if (tooltip)
            QCOMPARE(QToolTip::text(), text);
    }

    void draggedFrozenColumnWidthSurvivesADocumentChange()
    {
        ShownGrid grid;
        QVERIFY(grid.showActive());
        auto* frozen = grid.view.findChild<QTableView*>(QStringLiteral("StringGrid1Frozen"));
        QHeaderView* header = frozen->horizontalHeader();
        const int frozenWidth = frozen->width();
        for (const int column : {int(tess::ColName), int(tess::ColRange)}) {
            const int width = grid.view.columnWidth(column);
            const int edge = header->sectionViewportPosition(column) + width - 1;
            const int y = header->height() / 2;
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
            QTest::mouseMove(header->viewport(), QPoint(edge + 40, y));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, y));
            QCOMPARE(grid.view.columnWidth(column), width + 40);
            QCOMPARE(frozen->columnWidth(column), width + 40);
        }
        QCOMPARE(frozen->width(), frozenWidth + 80);

        // Closing the document and opening another resets the model.
        grid.ws.doc.state.open = false;
        grid.model->refresh();
        grid.ws.doc.state.open = true;
        grid.model->refresh();
        QCOMPARE(grid.view.columnWidth(tess::ColName), 2 * ParameterGridView::DefaultColumnWidth + 40);
        QCOMPARE(grid.view.columnWidth(tess::ColRange), 3 * ParameterGridView::DefaultColumnWidth + 40);
        QCOMPARE(frozen->width(), frozenWidth + 80);
    }
};

QTEST_MAIN(GridModelTest)
#include "GridModel_test.moc"
