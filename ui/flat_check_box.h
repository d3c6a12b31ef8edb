#pragma once

class QPainter;
class QStyleOptionViewItem;

namespace orvanta::ui {

// The strip of a row the check box covers, in pixels from the list's left edge, both ends included.
inline constexpr int kCheckBoxLeft = 4;
inline constexpr int kCheckBoxRight = 18;

// Draws the flat check box of a list row over the left strip of its text cell.
void DrawFlatCheckBox(QPainter* painter, const QStyleOptionViewItem& option, bool checked);

} // namespace orvanta::ui
