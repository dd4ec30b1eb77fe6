#include "ui-kit/QKFocusRing.h"

#include "ui-kit/Color.h"

#include <algorithm>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QToolButton>
#include <typeinfo>

namespace QKFocusRing {

namespace {

// Shared by every button it serves: it keeps no state of its own.
class ReturnPresses : public QObject {
public:
    using QObject::QObject;

    void ask(QAbstractButton* button) {
        m_askers.insert(button);
        connect(button, &QObject::destroyed, this, [this, button] { m_askers.remove(button); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool confirm = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!confirm || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled())
            return false;
        // Seen app-wide, it serves every plain button; a checkable one takes Return only when
        // it asked to (pressOnReturn), since Return on a check box in a dialog is the dialog's.
        if (button->isCheckable() && !m_askers.contains(button))
            return false;
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }

private:
    QSet<QObject*> m_askers;
};

ReturnPresses* returnPresses() {
    static QPointer<ReturnPresses> shared;
    if (!shared)
        shared = new ReturnPresses(QCoreApplication::instance());
    return shared;
}

// The ring over a control whose own drawing says nothing (a scroll area) or too little (Qt's
// style on a line edit, a check box, a slider) about keyboard focus: a child of the control that
// draws only the ring and lets every click through. Over a scroll area it covers the viewport,
// where the content is; over anything else, the control inside its frame line.
class RingOverlay : public QWidget {
public:
    explicit RingOverlay(QWidget* host) : QWidget(host), m_host(host) {
        setObjectName(QStringLiteral("qk_focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        // A scroll area's viewport, not the area: when the area is resized, its viewport takes
        // its new size only after the area's own resize event has been seen.
        auto* area = qobject_cast<QAbstractScrollArea*>(host);
        (area ? area->viewport() : host)->installEventFilter(this);
        hide();
    }

    void follow() {
        setGeometry(frame());
        raise();
        setVisible(shows(m_host));
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Move)
            setGeometry(frame());
        return false;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paint(p, QRectF(rect()), 3, m_host->palette(), faces(m_host));
    }

private:
    // Qt's style draws a control's frame line on its outermost pixels, and on a check box that
    // is all there is (the indicator fills it): a ring over that line stands apart from the
    // field inside it but not from the line, so it runs one pixel further in. A check box with no
    // label that keeps room around its indicator (kCheckRoom) is rung from outside the indicator,
    // clear of its frame line and whatever the tick does to it.
    QRect frame() const {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(m_host))
            return area->viewport()->geometry();
        if (auto* box = qobject_cast<QCheckBox*>(m_host); box && box->text().isEmpty()) {
            QStyleOptionButton option;
            option.initFrom(box);
            const QRect around = box->style()
                                     ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                                     .adjusted(-kCheckRoom, -kCheckRoom, kCheckRoom, kCheckRoom);
            if (box->rect().contains(around))
                return around;
        }
        // A default button's frame line, and a focused tool button's, is drawn in a shade of
        // the accent, which no ring in the accent stands apart from: the ring covers that line
        // and is seen against the surface past it. On a tool button that also keeps it a pixel
        // further from the icon, which fills the button but for a few pixels.
        if (isDefaultButton(m_host) || qobject_cast<const QToolButton*>(m_host))
            return m_host->rect();
        return m_host->rect().adjusted(1, 1, -1, -1);
    }

    static bool isDefaultButton(const QWidget* host) {
        auto* button = qobject_cast<const QPushButton*>(host);
        return button && button->isDefault() && button->isEnabled() && !button->isFlat();
    }

    // Whether the style paints the control as a raised button: a push button, a combo box one
    // picks from, a tool button that is not flat.
    static bool isRaised(const QWidget* host) {
        if (auto* combo = qobject_cast<const QComboBox*>(host))
            return !combo->isEditable();
        if (auto* tool = qobject_cast<const QToolButton*>(host))
            return !tool->autoRaise();
        auto* button = qobject_cast<const QPushButton*>(host);
        return button && !button->isFlat();
    }

    // The colours the control shows beside the ring. Qt's Fusion style does not
    // paint a raised button in the palette's button colour: it lifts that colour by how dark it
    // is, takes a quarter of its saturation away and draws it as a gradient from 124% down to
    // 102% of it (a shade darker unless the pointer is over it), and a default button mixes a
    // tenth of its accent frame into it. On the dark palette that face is lighter than the
    // button colour by enough to take the accent under 3:1, so the ring is judged against both
    // ends of the gradient Fusion paints, hovered or not. A focused tool button wears the style's
    // own focus mark as well, just inside the ring: a line of the accent frame colour (up to a
    // fifth darker) at an alpha of 80 around a fill of it at 30, lightened at its top.
    static QList<QColor> faces(const QWidget* host) {
        const QPalette& palette = host->palette();
        const QColor role = palette.color(QPalette::Active, surfaceRole(host));
        if (host->style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
            return {role};
        QList<QColor> shown{role};
        if (isRaised(host)) {
            QColor face = role.lighter(100 + std::max(1, (180 - qGray(role.rgb())) / 6));
            face.setHsv(face.hue(), face.saturation() * 3 / 4, face.value());
            if (isDefaultButton(host))
                face = mixed(face, accentFrame(palette).lighter(130), 90);
            shown = {role, face.lighter(124), face.darker(104).lighter(102)};
        }
        if (qobject_cast<const QToolButton*>(host)) {
            const QColor mark = accentFrame(palette);
            for (const QColor& face : QList<QColor>(shown)) {
                shown << mixed(mark.lighter(160), face, 100 * 30 / 255)
                      << mixed(mark, face, 100 * 30 / 255)
                      << mixed(mark.darker(120), face, 100 * 80 / 255)
                      << mixed(mark, face, 100 * 80 / 255);
            }
        }
        return shown;
    }

    // The accent frame line Fusion draws around a default button: the accent a quarter darker,
    // no lighter than a lightness of 160.
    static QColor accentFrame(const QPalette& palette) {
        QColor frame = palette.color(QPalette::Active, QPalette::Highlight).darker(125);
        if (frame.value() > 160)
            frame.setHsl(frame.hue(), frame.saturation(), 160);
        return frame;
    }

    // `percent` of `a` and the rest of `b`, channel by channel, as the style mixes them.
    static QColor mixed(const QColor& a, const QColor& b, int percent) {
        auto channel = [percent](int x, int y) {
            return (x * percent) / 100 + (y * (100 - percent)) / 100;
        };
        return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                      channel(a.blue(), b.blue()));
    }

    // What the control shows where the ring runs, unfocused: the field a text is typed into, a
    // button's face, or the window it sits on.
    static QPalette::ColorRole surfaceRole(const QWidget* host) {
        if (auto* combo = qobject_cast<const QComboBox*>(host))
            return combo->isEditable() ? QPalette::Base : QPalette::Button;
        if (qobject_cast<const QPushButton*>(host))
            return QPalette::Button;
        if (auto* tool = qobject_cast<const QToolButton*>(host))
            return tool->autoRaise() ? QPalette::Window : QPalette::Button;
        if (qobject_cast<const QLineEdit*>(host) || qobject_cast<const QAbstractSpinBox*>(host) ||
            qobject_cast<const QPlainTextEdit*>(host) || qobject_cast<const QTextEdit*>(host))
            return QPalette::Base;
        return QPalette::Window;
    }

    QWidget* m_host;
};

const char* const kOwnRing = "qk_drawsOwnRing";
const char* const kOwnPolicy = "qk_scrollAreaPolicy";
const char* const kPagePlace = "qk_pageOfItsPlace";
const char* const kPlaceName = "qk_nameFromPlace";

// What a scroll area without a name of its own reads as: the page it shows, when that has a
// name, and for a screen's page (pageOfItsPlace) the nearest part around it that has a name or
// a title (a screen titles itself), up to its window. Empty when nothing says.
QString placeName(const QScrollArea* area) {
    if (const QWidget* page = area->widget(); page && !page->accessibleName().isEmpty())
        return page->accessibleName();
    if (!area->property(kPagePlace).toBool())
        return QString();
    for (const QWidget* up = area->parentWidget(); up; up = up->parentWidget()) {
        if (!up->accessibleName().isEmpty())
            return up->accessibleName();
        if (!up->windowTitle().isEmpty() || up->isWindow())
            return up->windowTitle();
    }
    return QString();
}

// Names the area after its place while it has no name of its own; a name it took so is taken
// again at each showing, since the screen around it may have been named since.
void nameByPlace(QAbstractScrollArea* scrollArea) {
    auto* area = qobject_cast<QScrollArea*>(scrollArea);
    if (!area || (!area->accessibleName().isEmpty() && !area->property(kPlaceName).toBool()))
        return;
    const QString name = placeName(area);
    if (name.isEmpty())
        return;
    area->setAccessibleName(name);
    area->setProperty(kPlaceName, true);
}

// A scroll area takes the focus so the keys scroll it; one that holds controls is scrolled by
// moving through them, and a stop of its own would be an empty stop before them. It is a Tab stop
// only while it holds nothing Tab reaches (a clicked area still takes the keys).
class ScrollStops : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::LayoutRequest)
            return false;
        if (auto* area = areaOf(watched)) {
            update(area);
            if (type == QEvent::Show && area == watched)
                nameByPlace(area);
        }
        return false;
    }

private:
    // The area, for the area itself or the page it shows.
    static QAbstractScrollArea* areaOf(QObject* watched) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return nullptr;
        auto* area = qobject_cast<QAbstractScrollArea*>(widget);
        if (!area && widget->parentWidget())
            area = qobject_cast<QAbstractScrollArea*>(widget->parentWidget()->parentWidget());
        if (!area || qobject_cast<QAbstractItemView*>(area))
            return nullptr;
        if (area != widget && widget->parentWidget() != area->viewport())
            return nullptr;
        return area;
    }

    static void update(QAbstractScrollArea* area) {
        QVariant own = area->property(kOwnPolicy);
        if (!own.isValid()) {
            if ((area->focusPolicy() & Qt::TabFocus) != Qt::TabFocus)
                return;
            own = int(area->focusPolicy());
            area->setProperty(kOwnPolicy, own);
        }
        bool holds = false;
        for (QWidget* w : area->viewport()->findChildren<QWidget*>()) {
            if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isEnabled() &&
                w->isVisibleTo(area)) {
                holds = true;
                break;
            }
        }
        area->setFocusPolicy(holds ? Qt::ClickFocus : Qt::FocusPolicy(own.toInt()));
    }
};

// A tool button as Qt's own dialogs make them (the file dialog's Back, Parent Directory and view
// buttons), whose style marks the focus with a faint frame. A subclass paints itself, and may
// draw the kit's ring of its own.
bool isQtsToolButton(const QWidget* widget) {
    return qobject_cast<const QToolButton*>(widget) && typeid(*widget) == typeid(QToolButton);
}

bool wantsRing(const QWidget* widget) {
    if (widget->property(kOwnRing).toBool())
        return false;
    if (qobject_cast<const QAbstractScrollArea*>(widget))
        return !qobject_cast<const QAbstractItemView*>(widget);
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QCheckBox*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QPushButton*>(widget) || isQtsToolButton(widget);
}

// The control that wears the ring for the focus widget: a spin box or combo box for the line
// edit it is typed in through.
QWidget* ringHost(QWidget* widget) {
    if (!widget)
        return nullptr;
    if (qobject_cast<QLineEdit*>(widget)) {
        QWidget* up = widget->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(up) || qobject_cast<QComboBox*>(up))
            return up;
    }
    return widget;
}

void showRing(QWidget* focus, bool on) {
    QWidget* host = ringHost(focus);
    if (!host || !wantsRing(host))
        return;
    // Found by name: without a meta-object of its own, a cast cannot tell it from other children.
    auto* ring = dynamic_cast<RingOverlay*>(
        host->findChild<QWidget*>(QStringLiteral("qk_focusRing"), Qt::FindDirectChildrenOnly));
    if (!ring) {
        if (!on)
            return;
        ring = new RingOverlay(host);
    }
    if (on)
        ring->follow();
    else
        ring->hide();
}

// Margin kept between a control brought into view and its area's edge, so its ring shows whole.
constexpr int kRevealMargin = 12;

// Qt scrolls a control into view only when Tab is pressed inside the area that holds it; focus
// that comes from outside (from the window's toolbar into the sidebar) or by a shortcut lands
// out of sight. Every area the control sits in, innermost first, brings it in.
void bringIntoView(QWidget* widget) {
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(up);
        if (area && area->widget() && area->widget()->isAncestorOf(widget))
            area->ensureWidgetVisible(widget, kRevealMargin, kRevealMargin);
        if (up->isWindow())
            break;
    }
}

} // namespace

bool shows(const QWidget* widget) {
    return widget && widget->hasFocus() &&
           widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

QColor ink(const QPalette& palette, const QList<QColor>& beside) {
    auto nearest = [&beside](const QColor& ring) {
        double least = 21.0;
        for (const QColor& c : beside)
            least = std::min(least, Color::contrast(ring, c));
        return least;
    };
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    if (nearest(accent) >= kMinimumContrast)
        return accent;
    const QColor white(255, 255, 255);
    const QColor black(0, 0, 0);
    return nearest(white) >= nearest(black) ? white : black;
}

void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette,
           const QColor& under, const QList<QColor>& outside) {
    paint(painter, frame, radius, palette, under.isValid() ? QList<QColor>{under} : QList<QColor>{},
          outside);
}

void paint(QPainter& painter, const QRectF& frame, qreal radius, const QPalette& palette,
           const QList<QColor>& under, const QList<QColor>& outside) {
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const QList<QColor> face = under.isEmpty() ? QList<QColor>{window} : under;
    const QList<QColor> around = outside.isEmpty() ? QList<QColor>{window} : outside;
    QList<QColor> both = around;
    both.append(face);
    const QColor one = ink(palette, both);
    const bool single = std::all_of(both.begin(), both.end(), [&](const QColor& c) {
        return Color::contrast(one, c) >= kMinimumContrast;
    });
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    auto band = [&](const QColor& colour, qreal in, qreal width) {
        painter.setPen(QPen(colour, width));
        const qreal r = std::max<qreal>(0, radius - in);
        painter.drawRoundedRect(frame.adjusted(in, in, -in, -in), r, r);
    };
    if (single) {
        band(one, 1, 2);
    } else {
        // The inner band is the wider: where the outer one matches the face (an accent fill on
        // a window the accent stands out from), it is all that shows.
        band(ink(palette, around), 1, 2);
        band(ink(palette, face), 3.5, 3);
    }
    painter.restore();
}

void drawsOwnRing(QWidget* widget) {
    if (widget)
        widget->setProperty(kOwnRing, true);
}

void pressOnReturn(QAbstractButton* button) {
    if (!button)
        return;
    returnPresses()->ask(button);
    button->installEventFilter(returnPresses());
}

void pageOfItsPlace(QScrollArea* area) {
    if (area)
        area->setProperty(kPagePlace, true);
}

void watchScrollAreas() {
    static bool watching = false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (watching || !app)
        return;
    watching = true;
    app->installEventFilter(returnPresses());
    app->installEventFilter(new ScrollStops(app));
    QObject::connect(app, &QApplication::focusChanged, app, [](QWidget* old, QWidget* now) {
        showRing(old, false);
        showRing(now, true);
        if (now && shows(now))
            bringIntoView(now);
    });
}

} // namespace QKFocusRing
