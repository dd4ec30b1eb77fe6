#pragma once

// What a keyboard user meets wrongly in the scroll views of a screen: a view that is a Tab stop
// around parts that take Tab themselves (an extra stop that does nothing), and a view that is the
// only way to scroll by keys (nothing in it takes Tab) but has no name for a reader to say.
// Item views are lists, not scroll views of parts, and are left out.

#include <QAbstractItemView>
#include <QAccessible>
#include <QScrollArea>
#include <QStringList>
#include <QWidget>

namespace storagetest {

inline QStringList scrollStopProblems(QWidget* root) {
    QStringList problems;
    for (QScrollArea* scroll : root->findChildren<QScrollArea*>()) {
        if (!scroll->isVisibleTo(root) || !(scroll->focusPolicy() & Qt::TabFocus))
            continue;
        const QString who = QString::fromLatin1(scroll->metaObject()->className()) +
                            QLatin1Char('#') + scroll->objectName();
        bool holdsStops = false;
        if (QWidget* content = scroll->widget()) {
            for (QWidget* w : content->findChildren<QWidget*>()) {
                if (w->isVisibleTo(content) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                    holdsStops = true;
            }
        }
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(scroll);
        if (holdsStops)
            problems << who + QStringLiteral(": a Tab stop around parts that take Tab");
        else if (!face || face->text(QAccessible::Name).isEmpty())
            problems << who + QStringLiteral(": a Tab stop without a name");
    }
    return problems;
}

// The name a reader says for the widget.
inline QString accessibleNameOf(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace storagetest
