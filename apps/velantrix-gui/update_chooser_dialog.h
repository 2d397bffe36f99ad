// The four-button question of a workbook export into a workbook exported earlier: Help,
// Cancel, Replace the file, Update the file.
#pragma once

#include <QWidget>

#include "results/result_table_export.h"

namespace vx::gui {

class UpdateChooserDialog : public UpdateChooser {
 public:
  explicit UpdateChooserDialog(QWidget* parent) : parent_(parent) {}
  UpdateChoice Choose(const UpdateQuestion& question) override;

 private:
  QWidget* parent_;
};

}  // namespace vx::gui
