#pragma once

#include "app/mainwindow/GridFilter.h"

#include <QAbstractTableModel>

namespace tess {
struct Workspace;
}

namespace tess::gui {

// The parameter grid's rows (`Document::rows`) as a table model, the grid's
// header row being the horizontal header. The model shows the rows that pass
// the filter (GridFilterSettings, by default every row: model row r is then
// grid row r + 1); gridRow() and indexOfGridRow() translate, so whatever
// edits or moves addresses the parameter, never the position it is shown at.
// The model only reads texts the document already holds, so it never touches
// a file and stays quick over all 685 rows. The commands change the rows; whoever made
// it change calls refresh() (or valueColumnChanged() after a cell edit).
// Reading a cell changes nothing, however often Qt asks: the value cell of
// an accepted edit is drawn purple from the re-read that follows the edit
// until the next one (the next edit step, or a command's refresh).
class ParameterGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ParameterGridModel(Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the document changed: a new row count or a document opened or
    // closed resets the model, otherwise every cell and title is re-read.
    void refresh();
    // After a cell edit step (Enter, an arrow key, a click): the value column
    // is re-read.
    void valueColumnChanged();

    Workspace& workspace() const { return m_ws; }
    bool documentOpen() const { return m_open; }

    // The grid row a model index shows (0 for none), and back: an invalid
    // index for a row the filter hides.
    int gridRow(const QModelIndex& index) const;
    QModelIndex indexOfGridRow(int gridRow, int column) const;
    // The model row of the first row shown at or after gridRow; rowCount()
    // when there is none.
    int modelRowFrom(int gridRow) const;

    // The search and filters, applied at once and again after every re-read
    // (refresh, valueColumnChanged): an edit or a command may change which
    // rows pass.
    void setFilter(const GridFilterSettings& settings);
    const GridFilterSettings& filter() const { return m_filter; }
    // The rows shown, their marks and the counts, as last applied.
    const GridFilterResult& filtered() const { return m_filtered; }

    static QColor valueColour();
    static QColor editedValueColour();
    // The rows that differ in a comparison, in every column but the value.
    static QColor differenceTint();
    // The value text of a row whose value its table row would not take.
    static QColor notAllowedValueColour();

signals:
    // The document stays but other rows pass the filter: the model is reset
    // between the two, and the view keeps its place by grid row.
    void shownRowsAboutToChange();
    void shownRowsChanged();
    // After every re-read and filter change: the marks and counts are new.
    void filterApplied();

private:
    int shownRowCount() const;
    // Applies the filter to the document as it stands; true when other rows
    // pass than before (the model was reset).
    bool applyFilter();
    // Takes the document's just-edited flag over: the row of an edit
    // accepted since the last re-read is the purple one, else none is.
    void takeEditedMark();

    Workspace& m_ws;
    GridFilterSettings m_filter;
    GridFilterResult m_filtered;
    // The rows of the document (header excluded), whether shown or not.
    int m_rowCount = 0;
    bool m_open = false;
    // The grid row whose value cell is drawn purple; 0 for none.
    int m_editedRow = 0;
};

} // namespace tess::gui
