// The zone dialog: a zone's name, whether it is the main arena, what decides that the animal is
// in it (centre, share of the body, head) with the entry and exit percentages, whether its
// position is the same for all tests, the hidden-zone settings, and for a combined zone its
// operation and components. Confirming runs the core's rules (ConfirmZoneSettings): a refusal
// is shown as its numbered message and the dialog stays open.
#pragma once

#include <QDialog>

#include <vector>

#include "base/platform.h"
#include "zones/zone_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace vx::gui {

struct ZoneDialogResult {
  ZoneSettings settings;
  bool headDetection = false;  // the protocol's flag, possibly switched on by the head rule
  int operation = 0;           // combined zones: kCombineUnion or kCombineIntersection
  std::vector<int> components; // combined zones: ids, negative for a complement
};

class ZoneSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // zone belongs to set; services give the message boxes and the head-detection question.
  ZoneSettingsDialog(const ZoneSet& set, const CDrawObj& zone, bool headDetection, Services& services,
                     QWidget* parent = nullptr);
  const ZoneDialogResult& Result() const { return result_; }

  void accept() override;

 private:
  void BuildCombination(QWidget* page);
  void FollowRule();
  ZoneSettings Typed() const;

  const ZoneSet& set_;
  const CDrawObj& zone_;
  Services& services_;
  ZoneDialogResult result_;
  QLineEdit* name_ = nullptr;
  QCheckBox* arena_ = nullptr;
  QComboBox* rule_ = nullptr;
  QSpinBox* entry_ = nullptr;
  QSpinBox* exit_ = nullptr;
  QCheckBox* sameForAll_ = nullptr;
  QCheckBox* hidden_ = nullptr;
  QSpinBox* hiddenDistance_ = nullptr;
  QComboBox* hiddenUnit_ = nullptr;
  QComboBox* operation_ = nullptr;
  QTableWidget* components_ = nullptr;
};

}  // namespace vx::gui
