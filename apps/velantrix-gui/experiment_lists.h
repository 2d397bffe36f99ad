// The rows of the experiment's lists as the experiment page shows them.
#pragma once

#include <QStringList>
#include <vector>

#include "db/experiment.h"
#include "record_table_model.h"

namespace vx::gui {

QStringList ProtocolHeaders();
QStringList AnimalHeaders();
QStringList VideoHeaders();
QStringList TestHeaders();

std::vector<RecordTableModel::Row> ProtocolRows(const Experiment& experiment);
std::vector<RecordTableModel::Row> AnimalRows(const Experiment& experiment);
std::vector<RecordTableModel::Row> VideoRows(const Experiment& experiment);
std::vector<RecordTableModel::Row> TestRows(const Experiment& experiment);

}  // namespace vx::gui
