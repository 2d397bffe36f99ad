#include "table_headers.h"

#include <QHeaderView>

#include <algorithm>

namespace vx::gui {

void FitColumnsToHeadings(QHeaderView& header) {
  for (int column = 0; column < header.count(); ++column) {
    if (header.sectionResizeMode(column) == QHeaderView::Stretch) continue;
    header.resizeSection(column, std::max(header.sectionSize(column), header.sectionSizeHint(column)));
  }
}

}  // namespace vx::gui
