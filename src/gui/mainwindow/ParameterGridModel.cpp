#include "gui/mainwindow/ParameterGridModel.h"

#include "app/common/Workspace.h"
#include "app/mainwindow/DocumentGrid.h"
#include "app/mainwindow/MainWindowTexts.h"
#include "gui/common/QtText.h"

#include <QColor>
#include <QFont>

#include <algorithm>

namespace tess::gui {

ParameterGridModel::ParameterGridModel(Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent)
    , m_ws(ws)
    , m_filtered(filterGridRows(ws.doc, m_filter))
    , m_rowCount(shownRowCount())
    , m_open(ws.doc.state.open)
{
}

QColor ParameterGridModel::valueColour()
{
    return QColor(0, 0, 255);
}
QColor ParameterGridModel::editedValueColour()
{
    return QColor(128, 0, 128);
}
QColor ParameterGridModel::notAllowedValueColour()
{
    // Light enough to read on the value column's blue and purple.
    return QColor(255, 128, 128);
}
QColor ParameterGridModel::differenceTint()
{
    return QColor(255, 228, 160);
}

int ParameterGridModel::shownRowCount() const
{
    return std::clamp(gridRowCount(gridSource(m_ws)), 1, GridRowsWithTable) - 1;
}

int ParameterGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_filtered.rows.size());
}

int ParameterGridModel::gridRow(const QModelIndex& index) const
{
    const int row = index.row();
    if (!index.isValid() || row >= static_cast<int>(m_filtered.rows.size()))
        return 0;
    return m_filtered.rows[static_cast<std::size_t>(row)];
}

int ParameterGridModel::modelRowFrom(int gridRow) const
{
    const std::vector<int>& rows = m_filtered.rows;
    return static_cast<int>(std::lower_bound(rows.begin(), rows.end(), gridRow) - rows.begin());
}

QModelIndex ParameterGridModel::indexOfGridRow(int gridRow, int column) const
{
    const int row = modelRowFrom(gridRow);
    if (row >= rowCount() || m_filtered.rows[static_cast<std::size_t>(row)] != gridRow)
        return {};
    return index(row, column);
}

int ParameterGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : GridColumnCount;
}

QVariant ParameterGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !checkIndex(index))
        return {};
    const int row = gridRow(index);
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fromUtf8(gridText(m_ws, row, column));
    case Qt::BackgroundRole:
        if (column != ColValue)
            return m_filtered.differs[static_cast<std::size_t>(row)] ? QVariant(differenceTint()) : QVariant();
        return row == m_editedRow ? editedValueColour() : valueColour();
    case Qt::FontRole: {
        if (column != ColValue || !m_filtered.changed[static_cast<std::size_t>(row)])
            return {};
        // Only the weight: the rest comes from the grid's own font.
        QFont changed;
        changed.setBold(true);
        return changed;
    }
    case Qt::ForegroundRole:
        // A value its table row would not take stands out in its own
        // colour; the bold of a changed value stays beside it.
        if (column == ColValue && m_filtered.notAllowed[static_cast<std::size_t>(row)])
            return notAllowedValueColour();
        if (column == ColValue)
            return QColor(Qt::white);
        if (column != ColCode)
            return QColor(Qt::black);
        return {};
    default:
        return {};
    }
}

QVariant ParameterGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= GridColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return fromUtf8(gridText(m_ws, 0, section));
}

Qt::ItemFlags ParameterGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !checkIndex(index))
        return Qt::NoItemFlags;
    if (m_open && index.column() == ColValue) {
        // A comparison is for looking: its values are not edited.
        if (m_ws.doc.state.compareMode)
            return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
    return Qt::ItemIsEnabled;
}

void ParameterGridModel::takeEditedMark()
{
    CellEditState& edit = m_ws.doc.edit;
    m_editedRow = edit.justEdited ? edit.row : 0;
    edit.justEdited = false;
}

bool ParameterGridModel::applyFilter()
{
    GridFilterResult filtered = filterGridRows(m_ws.doc, m_filter);
    if (filtered.rows == m_filtered.rows) {
        m_filtered = std::move(filtered);
        return false;
    }
    emit shownRowsAboutToChange();
    beginResetModel();
    m_filtered = std::move(filtered);
    endResetModel();
    emit shownRowsChanged();
    return true;
}

void ParameterGridModel::refresh()
{
    takeEditedMark();
    const int rows = shownRowCount();
    const bool open = m_ws.doc.state.open;
    if (rows != m_rowCount || open != m_open) {
        beginResetModel();
        m_rowCount = rows;
        m_open = open;
        m_filtered = filterGridRows(m_ws.doc, m_filter);
        endResetModel();
    } else if (!applyFilter() && rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, GridColumnCount - 1));
    }
    emit headerDataChanged(Qt::Horizontal, 0, GridColumnCount - 1);
    emit filterApplied();
}

void ParameterGridModel::valueColumnChanged()
{
    takeEditedMark();
    // An entry may take a row into the changed ones or out of them.
    if (!applyFilter() && rowCount() > 0)
        emit dataChanged(index(0, ColValue), index(rowCount() - 1, ColValue));
    emit filterApplied();
}

void ParameterGridModel::setFilter(const GridFilterSettings& settings)
{
    if (settings == m_filter)
        return;
    m_filter = settings;
    if (!applyFilter() && rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, GridColumnCount - 1));
    emit filterApplied();
}

} // namespace tess::gui
