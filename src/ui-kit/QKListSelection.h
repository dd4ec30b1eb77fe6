#pragma once

class QPainter;
class QStyleOptionViewItem;

// The selection mark of a painted list row: a rounded tint of the accent colour, inset from the
// row's edges, drawn only when the row is selected. Delegates call it first, under their content.
namespace QKListSelection {

void paint(QPainter* painter, const QStyleOptionViewItem& option);

} // namespace QKListSelection
