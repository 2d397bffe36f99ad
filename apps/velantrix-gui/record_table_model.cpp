#include "record_table_model.h"

namespace vx::gui {

RecordTableModel::RecordTableModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void RecordTableModel::SetRows(std::vector<Row> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

int RecordTableModel::IdAt(int row) const {
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].id : -1;
}

int RecordTableModel::RowOf(int id) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const QStringList& cells = rows_[index.row()].cells;
  return index.column() < cells.size() ? cells[index.column()] : QString();
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= headers_.size()) return {};
  return headers_[section];
}

}  // namespace vx::gui
