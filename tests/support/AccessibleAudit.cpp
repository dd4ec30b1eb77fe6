#ifdef PENDREL_TEST_WIDGETS

#include "support/AccessibleAudit.h"

#include <functional>
#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QMetaEnum>
#include <QScrollArea>
#include <QWidget>

namespace testsupport {

namespace {

bool isOperable(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::SpinBox:
    case QAccessible::Link:
    case QAccessible::MenuItem:
    case QAccessible::EditableText:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::HotkeyField:
        return true;
    default:
        return false;
    }
}

bool saysNothing(QAccessible::Role role) {
    return role == QAccessible::NoRole || role == QAccessible::Client ||
           role == QAccessible::Whitespace;
}

// Item views and combo boxes hold rows described by their model; the walk stops at them.
bool holdsRows(QAccessible::Role role) {
    return role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ||
           role == QAccessible::ComboBox;
}

QString roleName(QAccessible::Role role) {
    const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
    const char* key = roles.valueToKey(role);
    return key ? QString::fromLatin1(key) : QString::number(int(role), 16);
}

} // namespace

QString describeAccessible(QAccessibleInterface* iface) {
    QString who;
    if (QObject* o = iface->object()) {
        who = QString::fromLatin1(o->metaObject()->className());
        if (!o->objectName().isEmpty())
            who += QLatin1Char('#') + o->objectName();
        // An anonymous element is placed by its nearest named ancestor.
        for (QObject* up = o->parent(); up && o->objectName().isEmpty(); up = up->parent()) {
            if (!up->objectName().isEmpty()) {
                who += QStringLiteral(" in #") + up->objectName();
                break;
            }
        }
    } else if (QAccessibleInterface* parent = iface->parent()) {
        who = QStringLiteral("part of ") + describeAccessible(parent);
    }
    return who + QStringLiteral(" (") + roleName(iface->role()) + QLatin1Char(')');
}

namespace {

// The text a widget puts on screen itself, when it is one that draws text.
QString drawnText(QObject* object) {
    if (!object || !object->isWidgetType())
        return QString();
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (object->inherits("QKLineLabel") || object->inherits("QKClampedText") ||
        object->inherits("QKBadge"))
        return object->property("text").toString();
    return QString();
}

QString exposedText(QAccessibleInterface* iface) {
    QString name = iface->text(QAccessible::Name);
    if (name.isEmpty()) {
        if (QAccessibleTextInterface* text = iface->textInterface())
            name = text->text(0, text->characterCount());
    }
    return name;
}

void walk(QAccessibleInterface* iface, const std::function<void(QAccessibleInterface*)>& visit) {
    if (!iface || !iface->isValid() || iface->state().invisible)
        return;
    visit(iface);
    if (holdsRows(iface->role()))
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), visit);
}

} // namespace

QStringList accessibilityProblems(QWidget* root) {
    QStringList problems;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        const QAccessible::Role role = iface->role();
        const QString name = iface->text(QAccessible::Name).trimmed();
        if (isOperable(role) && name.isEmpty())
            problems << describeAccessible(iface) + QStringLiteral(": control without a name");

        if (saysNothing(role)) {
            QStringList actions;
            if (QAccessibleActionInterface* act = iface->actionInterface())
                actions = act->actionNames();
            actions.removeAll(QAccessibleActionInterface::setFocusAction());
            // A scroll area takes the focus to scroll by keyboard; Qt describes it as a pane
            // around what it holds, which is what it is.
            QObject* o = iface->object();
            if (!o || !(o->isWindowType() || o->inherits("QAbstractScrollArea"))) {
                if (iface->state().focusable)
                    problems << describeAccessible(iface) +
                                    QStringLiteral(": takes the focus but has no role");
                else if (!actions.isEmpty())
                    problems << describeAccessible(iface) + QStringLiteral(": offers ") +
                                    actions.join(QLatin1Char('/')) +
                                    QStringLiteral(" but has no role");
            }
        }

        const QString drawn = drawnText(iface->object());
        if (!drawn.trimmed().isEmpty() && exposedText(iface).trimmed().isEmpty())
            problems << describeAccessible(iface) + QStringLiteral(": shows \"") + drawn.left(40) +
                            QStringLiteral("\" but exposes no text");
    });
    return problems;
}

QStringList scrollAreaProblems(QWidget* root) {
    QStringList problems;
    QList<QScrollArea*> areas = root->findChildren<QScrollArea*>();
    if (auto* self = qobject_cast<QScrollArea*>(root))
        areas.prepend(self);
    for (QScrollArea* area : areas) {
        if (area != root && !area->isVisibleTo(root))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(area);
        const QString who = iface ? describeAccessible(iface) : QString::fromLatin1("QScrollArea");
        bool holdsStops = false;
        for (QWidget* w : area->viewport()->findChildren<QWidget*>()) {
            if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
                w->isVisibleTo(area)) {
                holdsStops = true;
                break;
            }
        }
        if ((area->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && holdsStops)
            problems << who +
                            QStringLiteral(": a Tab stop of its own before the controls it holds");
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty()) {
            bool placeNamed = false;
            for (const QWidget* up = area->parentWidget(); up && !placeNamed;
                 up = up->isWindow() ? nullptr : up->parentWidget())
                placeNamed = !up->accessibleName().isEmpty() || !up->windowTitle().isEmpty();
            problems << who + QStringLiteral(": scroll area without a name") +
                            (placeNamed ? QString() : QStringLiteral(", in a screen without one"));
        }
    }
    return problems;
}

QStringList accessibleTexts(QWidget* root) {
    QStringList texts;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        const QString text = exposedText(iface);
        if (!text.isEmpty())
            texts << text;
    });
    return texts;
}

QAccessibleInterface* findAccessible(QWidget* root, const QString& name) {
    QAccessibleInterface* found = nullptr;
    walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* iface) {
        if (!found && iface->text(QAccessible::Name) == name)
            found = iface;
    });
    return found;
}

} // namespace testsupport

#endif
