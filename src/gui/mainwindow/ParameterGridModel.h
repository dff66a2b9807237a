#pragma once

#include <QAbstractTableModel>

namespace tess {
struct Workspace;
}

namespace tess::gui {

// The parameter grid's rows (`Document::rows`) as a table model: model row r
// is grid row r + 1, the grid's header row being the horizontal header. The
// model only reads texts the document already holds, so it never touches a file
// and stays quick over all 685 rows. The commands change the rows; whoever made
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

    static int gridRow(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex indexOfGridRow(int gridRow, int column) const { return index(gridRow - 1, column); }

    static QColor valueColour();
    static QColor editedValueColour();

private:
    int shownRowCount() const;
    // Takes the document's just-edited flag over: the row of an edit
    // accepted since the last re-read is the purple one, else none is.
    void takeEditedMark();

    Workspace& m_ws;
    int m_rowCount = 0;
    bool m_open = false;
    // The grid row whose value cell is drawn purple; 0 for none.
    int m_editedRow = 0;
};

} // namespace tess::gui
