// Every screen pendrel-shots renders, walked as a screen-reader user, a keyboard user and a reader
// at the largest text size meet it: the scenes are built by the same harness, in the same looks,
// and handed to the checks instead of being written to files. One walk feeds all checks, since
// building the scenes is what costs. Besides names and Tab, it uses each button through its
// accessible actions, Space and Return the way a click uses it (without letting the screen hear
// any of it), measures every control's focus ring against the colours on both sides of it at 3:1
// in both themes, and finds children
// drawn past their parent's edge at both text sizes.
#include "app/PendrelApp.h"
#include "app/shots/Shots.h"
#include "support/AccessibleAudit.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKClampedText.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/SegmentedControl.h"
#include "ui-kit/TextSize.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStackedWidget>
#include <QTextEdit>
#include <unordered_map>

namespace {

// Where a page may be narrower than its content at the largest text size: the narrowest window
// the app is laid out for.
constexpr int kWidestPage = 940;

// A focus indicator is seen when at least this much of it stands 3:1 apart from the unfocused
// look: as many pixels as a one-pixel line around a square as tall as the control (a switch rings
// its track, a radio button its dot, a list its current row).
int ringNeeded(const QSize& size) {
    return 4 * std::min(size.width(), size.height());
}

// Findings that are known and meant, matched as substrings of a finding's line. Each says why.
struct Allowed {
    const char* match;
    const char* why;
};

// Elisions the screens mean: a name of the user's that can be any length, or a line kept to one
// line on purpose. The app's own words are never cut.
const Allowed kMeantElisions[] = {
    {"#photoName", "a photo's file name is as wide as its thumbnail; the tooltip has the path"},
    {"#explainRowTitle", "an explain row names one item on one line; the gallery shows a long one"},
    {"#automationStatus", "the automation status line is one line by design, so a long result "
                          "cannot push the toggles out of the window"},
};

// Scroll areas that are still a Tab stop before their controls, or have no name, each left to
// the screen that makes it. Each says what is missing.
const Allowed kScrollAreasLeft[] = {
    {"in a screen without one", "the harness hosts a screen alone in an untitled window; in the "
                                "app every screen is named after its section, and its page "
                                "reads so"},
};

template <size_t N> bool allowed(const QString& finding, const Allowed (&list)[N]) {
    for (const Allowed& a : list) {
        if (finding.contains(QLatin1String(a.match)))
            return true;
    }
    return false;
}

QString who(const QWidget* w) {
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        return name + QLatin1Char('#') + w->objectName();
    for (const QWidget* up = w->parentWidget(); up; up = up->parentWidget()) {
        if (!up->objectName().isEmpty())
            return name + QStringLiteral(" in #") + up->objectName();
        if (QByteArray(up->metaObject()->className()).contains("View") ||
            QByteArray(up->metaObject()->className()).contains("Pane"))
            return name + QStringLiteral(" in ") +
                   QString::fromLatin1(up->metaObject()->className());
    }
    return name;
}

// The widgets a user operates: what a click or a key changes. Scroll bars are left out, since
// the keys scroll the area they belong to; read-only text is read, not operated.
bool isInteractive(const QWidget* w) {
    if (qobject_cast<const QScrollBar*>(w))
        return false;
    if (qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
        qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const SegmentedControl*>(w))
        return true;
    if (auto* view = qobject_cast<const QAbstractItemView*>(w))
        return view->model() && view->model()->rowCount(view->rootIndex()) > 0;
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(w))
        return !edit->isReadOnly();
    if (auto* edit = qobject_cast<const QTextEdit*>(w))
        return !edit->isReadOnly();
    return false;
}

// What Tab stops at, in the order it stops, starting from the window: the rule Qt's own
// focusNextPrevChild follows.
QList<QWidget*> tabStops(QWidget* window) {
    QList<QWidget*> stops;
    QSet<QWidget*> seen;
    for (QWidget* w = window->nextInFocusChain(); w && w != window && !seen.contains(w);
         w = w->nextInFocusChain()) {
        seen.insert(w);
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->focusProxy() &&
            w->isVisibleTo(window) && w->isEnabled())
            stops.append(w);
    }
    return stops;
}

// Radio buttons of one exclusive group are one Tab stop: Tab reaches the chosen one (Qt takes
// the others out of the chain) and the arrow keys move the choice.
QList<QAbstractButton*> groupOf(QAbstractButton* button) {
    if (!button->isCheckable())
        return {};
    if (QButtonGroup* group = button->group(); group && group->exclusive())
        return group->buttons();
    QList<QAbstractButton*> members;
    if (button->autoExclusive() && button->parentWidget()) {
        for (QAbstractButton* b : button->parentWidget()->findChildren<QAbstractButton*>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            if (b->autoExclusive())
                members << b;
        }
    }
    return members;
}

bool reachedByTab(QWidget* w, const QSet<QWidget*>& stops) {
    QWidget* target = w->focusProxy() ? w->focusProxy() : w;
    if (stops.contains(target))
        return true;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        for (QAbstractButton* member : groupOf(button)) {
            if (stops.contains(member))
                return true;
        }
    }
    return false;
}

// Whether Tab going from `a` to `b`, two controls side by side in one container, goes back
// against reading order: up to an earlier line, or leftwards on the same line.
bool goesBack(const QWidget* a, const QWidget* b) {
    const QRect ra(a->mapTo(a->window(), QPoint(0, 0)), a->size());
    const QRect rb(b->mapTo(b->window(), QPoint(0, 0)), b->size());
    const bool sameLine = rb.top() < ra.bottom() && ra.top() < rb.bottom();
    if (sameLine)
        return rb.center().x() < ra.left();
    return rb.bottom() <= ra.top();
}

// What surrounds a control where its ring shows: the page a scroll area shows (drawn whole,
// wherever it is scrolled to) or the window, and how much of it a ring is measured against.
constexpr int kRingMargin = 3;
// A ring is faint when more than one in this many of its pixels beside another colour stand
// under 3:1 from it: its rounded corners blend, a side never does.
constexpr int kFaintShare = 8;

QWidget* backdrop(QWidget* w) {
    for (QWidget* up = w->parentWidget(); up; up = up->parentWidget()) {
        if (up->isWindow())
            return up;
        const QWidget* viewport = up->parentWidget();
        auto* area =
            viewport ? qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget()) : nullptr;
        if (area && area->viewport() == viewport)
            return up;
    }
    return w;
}

// The kind of control a focus look belongs to: its class, and for a list the delegate that
// draws its rows.
QString controlKind(const QWidget* w) {
    QString kind = QString::fromLatin1(w->metaObject()->className());
    if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->itemDelegate())
        kind +=
            QLatin1Char('/') + QString::fromLatin1(view->itemDelegate()->metaObject()->className());
    return kind;
}

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

// Focus that comes by keyboard scrolls a control into view; the walk puts every scroll bar of the
// window back where the scene had it.
class KeepScroll {
public:
    explicit KeepScroll(QWidget* window) {
        for (QScrollBar* bar : window->findChildren<QScrollBar*>())
            m_values.append({bar, bar->value()});
    }
    ~KeepScroll() {
        for (const auto& [bar, value] : m_values) {
            if (bar)
                bar->setValue(value);
        }
    }

private:
    QList<std::pair<QPointer<QScrollBar>, int>> m_values;
};

// A widget that shows the pointing hand of its own accord says a click on it does something.
bool looksClickable(const QWidget* w) {
    return w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor;
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

// What the walk found, each finding once with the scenes it showed in.
class Findings {
public:
    void add(const QString& finding, const QString& scene) {
        QStringList& scenes = m_found[finding];
        if (scenes.size() < 3)
            scenes << scene;
    }
    bool empty() const { return m_found.empty(); }
    QString report() const {
        QString out;
        for (const auto& [finding, scenes] : m_found)
            out += QStringLiteral("  %1  [%2]\n").arg(finding, scenes.join(QStringLiteral(", ")));
        return out;
    }

private:
    std::map<QString, QStringList> m_found;
};

struct Walk {
    int scenes = 0;
    int largestScenes = 0;
    Findings unreadable;               // assistive technology
    Findings cut;                      // largest text size: elided text
    Findings wide;                     // largest text size: pages wider than the narrowest window
    Findings unreachable;              // Tab never stops at it
    Findings backwards;                // Tab goes against reading order
    Findings noFocusLook;              // focused, it looks as it did before
    Findings faintFocus;               // its focus look is under 3:1
    Findings actions;                  // an accessible action or key does not do what a click does
    Findings overhang;                 // a child drawn past its parent's edge
    Findings scrollAreas;              // a scroll area that is an empty Tab stop or has no name
    std::map<QString, int> focusTries; // kind and theme -> instances tried; -1 once one showed
    // Buttons already probed: what a button's actions do is the same in every look.
    std::unordered_map<const QWidget*, QPointer<QWidget>> probed;

    void visit(QWidget* scene, const QString& name) {
        ++scenes;
        const bool largest = fontSizeSetting() == TextSize::Largest;
        if (largest)
            ++largestScenes;
        // The scene's window and the sheets and dialogs shown over it.
        QList<QWidget*> windows{scene->window()};
        for (QWidget* w : scene->window()->findChildren<QWidget*>()) {
            if (w->isWindow() && w->isVisible())
                windows << w;
        }
        for (QWidget* window : windows) {
            for (const QString& p : testsupport::accessibilityProblems(window)) {
                unreadable.add(p, name);
            }
            for (const QString& p : testsupport::scrollAreaProblems(window)) {
                if (!allowed(p, kScrollAreasLeft))
                    scrollAreas.add(p, name);
            }
            if (largest)
                checkLargest(window, name);
            checkKeyboard(window, name);
            checkActions(window, name);
            checkBounds(window, name);
        }
    }

    void checkLargest(QWidget* window, const QString& name) {
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

    void checkKeyboard(QWidget* window, const QString& name) {
        const QList<QWidget*> stops = tabStops(window);
        const QSet<QWidget*> reached(stops.begin(), stops.end());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            // A sheet or dialog over the window has a Tab chain of its own, walked as a window.
            if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled() ||
                !isInteractive(w))
                continue;
            if (!reachedByTab(w, reached)) {
                const QString line = who(w) + QStringLiteral(": Tab never reaches it");
                unreachable.add(line, name);
            }
        }
        for (qsizetype i = 1; i < stops.size(); ++i) {
            QWidget* a = stops.at(i - 1);
            QWidget* b = stops.at(i);
            if (a->parentWidget() == b->parentWidget() && goesBack(a, b)) {
                const QString line = who(a) + QStringLiteral(" then ") + who(b) +
                                     QStringLiteral(": Tab goes back against reading order");
                backwards.add(line, name);
            }
        }
        for (QWidget* w : stops)
            checkFocusLook(window, w, name);
    }

    void checkActions(QWidget* window, const QString& name) {
        const KeepScroll keep(window);
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->window() != window || !w->isVisibleTo(window) || !w->isEnabled())
                continue;
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                auto [it, fresh] = probed.try_emplace(w, w);
                if (!fresh && it->second)
                    continue;
                it->second = w;
                for (const QString& p : testsupport::buttonProblems(button))
                    actions.add(p, name);
            } else if (looksClickable(w) && !qobject_cast<QAbstractItemView*>(w->parentWidget()) &&
                       !qobject_cast<QAbstractItemView*>(w)) {
                QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
                QStringList names;
                if (iface && iface->actionInterface())
                    names = iface->actionInterface()->actionNames();
                names.removeAll(QAccessibleActionInterface::setFocusAction());
                if (names.isEmpty())
                    actions.add(who(w) + QStringLiteral(": shows a pointing hand but offers no "
                                                        "accessible action"),
                                name);
                if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus && !w->focusProxy())
                    actions.add(who(w) +
                                    QStringLiteral(": shows a pointing hand but no key reaches it"),
                                name);
            }
        }
    }

    void checkBounds(QWidget* window, const QString& name) {
        const QString size = fontSizeSetting() == TextSize::Largest ? QStringLiteral("largest")
                                                                    : QStringLiteral("normal");
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->isWindow() || w->window() != window || !w->isVisibleTo(window) ||
                w->width() <= 0 || w->height() <= 0 || mayOverhang(w))
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

    // Every control is rung and measured, since the colours beside a ring are those of the
    // place it stands in (a tile among tiles, a filled button on a card). Whether a kind shows
    // focus at all is told by its first few controls.
    void checkFocusLook(QWidget* window, QWidget* w, const QString& name) {
        if (w->width() <= 0 || w->height() <= 0)
            return;
        // A dialog's default button already wears the outline the style gives focus.
        if (auto* push = qobject_cast<QPushButton*>(w); push && push->isDefault())
            return;
        const QString kind = controlKind(w);
        const bool dark = Color::isDark(w->palette());
        int& tries = focusTries[kind + (dark ? QStringLiteral(" dark") : QString())];
        const KeepScroll keep(window);
        if (!window->isActiveWindow()) {
            window->activateWindow();
            QApplication::processEvents();
        }
        QWidget* before = QApplication::focusWidget();
        if (before == w) {
            before->clearFocus();
            QApplication::processEvents();
        }
        QWidget* host = backdrop(w);
        const QRect place = QRect(w->mapTo(host, QPoint(0, 0)), w->size())
                                .adjusted(-kRingMargin, -kRingMargin, kRingMargin, kRingMargin)
                                .intersected(host->rect());
        const QImage plain = host->grab(place).toImage();
        // What a Tab press marks on the window before it moves the focus: styles ring a control
        // only when the focus came by keyboard.
        const bool byKeyboard = window->testAttribute(Qt::WA_KeyboardFocusChange);
        window->setAttribute(Qt::WA_KeyboardFocusChange);
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const bool focused = w->hasFocus();
        const QImage ringed = host->grab(place).toImage();
        if (before && before != w)
            before->setFocus(Qt::OtherFocusReason);
        else
            w->clearFocus();
        window->setAttribute(Qt::WA_KeyboardFocusChange, byKeyboard);
        QApplication::processEvents();
        if (focused && plain != ringed) {
            tries = -1;
            const testsupport::RingSides sides = testsupport::ringSides(plain, ringed, 3.0);
            const int needed = ringNeeded(w->size());
            if (sides.seen < needed || sides.faint * kFaintShare > sides.seen + sides.faint) {
                const QString line =
                    who(w) + QStringLiteral(" (") + kind +
                    QStringLiteral("): focus look under "
                                   "3:1 in the ") +
                    (dark ? QStringLiteral("dark") : QStringLiteral("light")) +
                    QStringLiteral(" theme against the colours beside it (%1 px seen of the %2 a "
                                   "ring needs, %3 px faint)")
                        .arg(sides.seen)
                        .arg(needed)
                        .arg(sides.faint);
                faintFocus.add(line, name);
            }
            return;
        }
        if (tries < 0 || tries >= 3)
            return;
        if (++tries == 3) {
            const QString line = kind + (focused ? QStringLiteral(": focus does not show")
                                                 : QStringLiteral(": does not take the focus"));
            noFocusLook.add(line, name);
        }
    }
};

const Walk& walkOfEveryScene() {
    static const Walk walk = [] {
        Walk w;
        QElapsedTimer clock;
        clock.start();
        const std::unique_ptr<PendrelApp> app = Shots::makeApp();
        ShotContext ctx;
        ctx.app = app.get();
        ctx.visit = [&w](QWidget* scene, const QString& name) { w.visit(scene, name); };
        Shots::renderAll(ctx);
        std::printf("walked %d scenes (%d at the largest text size) in %lld ms\n", w.scenes,
                    w.largestScenes, qint64(clock.elapsed()));
        return w;
    }();
    return walk;
}

} // namespace

TEST(SceneWalk, EveryScreenPassesTheReaderKeyboardAndLargeTextChecks) {
    const Walk& walk = walkOfEveryScene();
    EXPECT_GT(walk.scenes, 200) << "the harness handed over fewer scenes than it renders";
    EXPECT_GT(walk.largestScenes, 40);
    EXPECT_TRUE(walk.unreadable.empty())
        << "controls without a role or name, or text that exposes none:\n"
        << walk.unreadable.report().toStdString();
    EXPECT_TRUE(walk.cut.empty()) << "text cut short at the largest text size:\n"
                                  << walk.cut.report().toStdString();
    EXPECT_TRUE(walk.wide.empty())
        << "pages wider than " << kWidestPage << " px at the largest text size:\n"
        << walk.wide.report().toStdString();
    EXPECT_TRUE(walk.unreachable.empty()) << "controls Tab never reaches:\n"
                                          << walk.unreachable.report().toStdString();
    EXPECT_TRUE(walk.backwards.empty()) << "Tab order against reading order:\n"
                                        << walk.backwards.report().toStdString();
    EXPECT_TRUE(walk.noFocusLook.empty()) << "controls that do not show focus:\n"
                                          << walk.noFocusLook.report().toStdString();
    EXPECT_TRUE(walk.faintFocus.empty()) << "focus looks that stand under 3:1 apart:\n"
                                         << walk.faintFocus.report().toStdString();
    EXPECT_TRUE(walk.actions.empty())
        << "controls an accessible action or a key does not use as a click does:\n"
        << walk.actions.report().toStdString();
    EXPECT_TRUE(walk.scrollAreas.empty())
        << "scroll areas that stop Tab before their controls, or that have no name:\n"
        << walk.scrollAreas.report().toStdString();
    EXPECT_TRUE(walk.overhang.empty()) << "children that leave their parent's bounds:\n"
                                       << walk.overhang.report().toStdString();
}
