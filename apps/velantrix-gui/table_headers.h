// Column widths that show every heading whole. Sizing columns to their contents would read every
// row (slow over a thousand tests); the headings alone are cheap and are what gets cut.
#pragma once

class QHeaderView;

namespace vx::gui {

// Widens each column that is narrower than its heading's text, leaving stretched ones alone.
void FitColumnsToHeadings(QHeaderView& header);

}  // namespace vx::gui
