// A read-only table of records for the lists of the views: one row per record, its id kept
// beside the shown texts. The view refills it from the core's lists after every change.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace vx::gui {

class RecordTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit RecordTableModel(QStringList headers, QObject* parent = nullptr);

  struct Row {
    int id = -1;
    QStringList cells;
  };
  void SetRows(std::vector<Row> rows);
  int IdAt(int row) const;
  int RowOf(int id) const;  // -1 when absent

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList headers_;
  std::vector<Row> rows_;
};

}  // namespace vx::gui
