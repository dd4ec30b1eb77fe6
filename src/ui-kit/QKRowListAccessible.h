#pragma once

// The description of a list whose rows a delegate draws (QKRowList and the lists marked with
// QKAccessible::setRowList): one child per row, with the row's buttons as its actions.

class QAccessibleInterface;
class QListView;

namespace QKAccessibleParts {

QAccessibleInterface* rowListAccessible(QListView* list);
bool isRowListAccessible(const QAccessibleInterface* made);

} // namespace QKAccessibleParts
