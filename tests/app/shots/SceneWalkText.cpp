// The walk's reading at the largest text size: text cut short, pages wider than the narrowest
// window, and (at both sizes) children drawn past their parent's edge.
#include "app/shots/SceneWalk.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/TextSize.h"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QStackedWidget>

namespace SceneWalk {

namespace {

// Elisions the screens mean: a name of the user's that can be any length, or a line kept to one
// line on purpose. The app's own words are never cut.
const Allowed kMeantElisions[] = {
    {"#photoName", "a photo's file name is as wide as its thumbnail; the tooltip has the path"},
    {"#explainRowTitle", "an explain row names one item on one line; the gallery shows a long one"},
    {"#automationStatus", "the automation status line is one line by design, so a long result "
                          "cannot push the toggles out of the window"},
};

// Lines a text widget cut short, or none.
QString cutText(const QWidget* w) {
    if (auto* line = qobject_cast<const QKLineLabel*>(w)) {
        if (!line->text().isEmpty() && line->displayedText() != line->text())
            return line->text();
    } else if (auto* clamped = qobject_cast<const QKClampedText*>(w)) {
        const QStringList lines = clamped->displayedLines(clamped->width());
        if (!lines.isEmpty() && lines.last().endsWith(QChar(0x2026)) &&
            !clamped->text().endsWith(QChar(0x2026)))
            return clamped->text();
    } else if (auto* button = qobject_cast<const QKBorderedButton*>(w)) {
        if (!button->text().isEmpty() && button->width() < button->sizeHint().width())
            return button->text();
    } else if (auto* label = qobject_cast<const QLabel*>(w)) {
        if (!label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull() &&
            label->width() < label->minimumSizeHint().width())
            return label->text();
    }
    return QString();
}

// Children that may stand outside their parent: what a scroll area shows moves under its
// viewport, and a stack lays out only the page it shows.
bool mayOverhang(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    if (!parent)
        return true;
    if (auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
        area && area->viewport() == parent)
        return true;
    return qobject_cast<const QStackedWidget*>(parent) != nullptr;
}

} // namespace

void Walk::checkLargest(QWidget* window, const QString& name) {
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QString text = cutText(w);
        if (!text.isEmpty()) {
            const QString line =
                who(w) + QStringLiteral(": cuts \"") + text.left(60) + QLatin1Char('"');
            if (!allowed(line, kMeantElisions))
                cut.add(line, name);
        }
        if (auto* area = qobject_cast<QScrollArea*>(w); area && area->widget()) {
            const int need =
                qMax(area->widget()->minimumSizeHint().width(), area->widget()->minimumWidth());
            if (need > kWidestPage) {
                const QString line =
                    who(area->widget()) + QStringLiteral(": needs %1 px").arg(need);
                wide.add(line, name);
            }
        }
    }
}

void Walk::checkBounds(QWidget* window, const QString& name) {
    const QString size = fontSizeSetting() == TextSize::Largest ? QStringLiteral("largest")
                                                                : QStringLiteral("normal");
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || w->window() != window || !w->isVisibleTo(window) || w->width() <= 0 ||
            w->height() <= 0 || mayOverhang(w))
            continue;
        const QRect inside = w->parentWidget()->rect();
        if (!inside.contains(w->geometry())) {
            const QRect g = w->geometry();
            const QString line =
                who(w) + QStringLiteral(" at %1 text: %2,%3 %4x%5 leaves its parent's %6x%7")
                             .arg(size)
                             .arg(g.x())
                             .arg(g.y())
                             .arg(g.width())
                             .arg(g.height())
                             .arg(inside.width())
                             .arg(inside.height());
            overhang.add(line, name);
        }
    }
}

} // namespace SceneWalk
