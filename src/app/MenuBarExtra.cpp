#include "app/MenuBarExtra.h"

#include "platform/SymbolIcons.h"
#include "platform/SymbolName.h"
#include "platform/X11Selections.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/Themed.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/views/MenuBarPanel.h"

#include <algorithm>
#include <QCursor>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QtMath>

namespace {

constexpr QSizeF kFrame(18, 16);
constexpr qreal kLetterSize = 13;
constexpr qreal kBadgeSize = 7;
constexpr QPointF kBadgeOffset(7, 5);
// How far the contrasting edge reaches past the badge, in points.
constexpr qreal kEdge = 0.9;
constexpr qreal kPlateRadius = 4;
// A click on the tray icon closes the open popup before the tray reports it; within this time
// after the popup went away the click is taken as "close", not "open again".
constexpr qint64 kReopenGuardMs = 300;

} // namespace

MenuBarExtra::MenuBarExtra(const Services& services, QObject* parent)
    : MenuBarExtra(services, Options{}, parent) {}

MenuBarExtra::MenuBarExtra(const Services& services, Options options, QObject* parent)
    : QObject(parent), m_services(services) {
    auto* panel = new MenuBarPanel(*services.appState, *services.keepAwake);
    m_panel.reset(panel);
    // A frameless tool window that closes as a popup would, not a Qt::Popup: assistive
    // technology finds the application's windows from its root, and that root leaves popups out.
    m_panel->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                            Qt::WindowStaysOnTopHint);
    Themed::apply(m_panel.get());
    // With a compositor the corners are see-through and antialiased; without one a translucent
    // window would show black there, so the panel shapes itself with a mask instead. Decided
    // before the panel's window exists, which is when it counts.
    if (X11Selections::compositorRunning()) {
        m_panel->setAttribute(Qt::WA_TranslucentBackground);
        m_panel->setAutoFillBackground(false);
    }
    m_panel->installEventFilter(this);
    connect(panel, &MenuBarPanel::openMainWindowRequested, this, [this] {
        m_panel->hide();
        emit openMainWindowRequested();
    });
    connect(panel, &MenuBarPanel::quitRequested, this, &MenuBarExtra::quitRequested);

    if (options.systemTray) {
        m_tray = std::make_unique<QSystemTrayIcon>();
        m_tray->setToolTip(QStringLiteral("Pendrel"));
        connect(m_tray.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                        togglePanel();
                });
    }
    if (services.keepAwake)
        connect(services.keepAwake, &KeepAwakeManager::isActiveChanged, this,
                &MenuBarExtra::updateIcon);
    // The ink follows the desktop's light or dark preference.
    connect(&Themed::shared(), &Themed::systemSchemeChanged, this, &MenuBarExtra::updateIcon);
    updateIcon();
    if (m_tray)
        m_tray->show();
}

MenuBarExtra::~MenuBarExtra() = default;

QColor MenuBarExtra::inkFor(bool darkDesktop) {
    return darkDesktop ? QColor(0xF2, 0xF2, 0xF2) : QColor(0x1D, 0x1D, 0x1F);
}

QColor MenuBarExtra::plateFor(const QColor& ink) {
    return ink.lightness() > 128 ? QColor(0x1D, 0x1D, 0x1F) : QColor(0xF2, 0xF2, 0xF2);
}

QColor MenuBarExtra::defaultInk() {
    return inkFor(Themed::shared().systemPrefersDark());
}

QPixmap MenuBarExtra::label(bool badge, qreal dpr, QColor ink) {
    if (!ink.isValid())
        ink = defaultInk();
    if (!(dpr > 0))
        dpr = 1;
    const QColor plate = plateFor(ink);
    const QColor edge = plate;
    const QSizeF canvas(labelCanvas, labelCanvas);
    QPixmap pm((canvas * dpr).toSize());
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);

    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF frame(
        QPointF((canvas.width() - kFrame.width()) / 2, (canvas.height() - kFrame.height()) / 2),
        kFrame);
    // The plate: the frame as a rounded tile in the opposite lightness, so the letter reads
    // against it whatever the tray's colour.
    {
        QPainterPath tile;
        tile.addRoundedRect(frame, kPlateRadius, kPlateRadius);
        p.fillPath(tile, plate);
    }
    // The label never follows the text-size step: it is sized for the menu bar.
    const QFont font =
        QKFont{.fixedSize = kLetterSize, .weight = QFont::DemiBold, .design = FontDesign::Serif}
            .resolve(1.0);
    // The letter as an outline, centred in the frame as a line of text would be.
    const QFontMetricsF fm(font);
    const QString letter = QStringLiteral("P");
    QPainterPath glyph;
    glyph.addText(QPointF(frame.center().x() - fm.horizontalAdvance(letter) / 2,
                          frame.top() + (frame.height() - fm.height()) / 2 + fm.ascent()),
                  font, letter);
    p.fillPath(glyph, ink);

    if (badge) {
        const QPointF centre = frame.center() + kBadgeOffset;
        const QRectF box(centre - QPointF(kBadgeSize / 2, kBadgeSize / 2),
                         QSizeF(kBadgeSize, kBadgeSize));
        // Clear a hairline around the cup so it stands apart from the letter.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(centre, kBadgeSize / 2 + 1.2, kBadgeSize / 2 + 1.2);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QSize size(qCeil(kBadgeSize), qCeil(kBadgeSize));
        // The edge of the cup: its glyph in the edge colour, nudged all round.
        const QPixmap rim = SymbolIcons::pixmap("cup.and.saucer.fill"_sym, size, edge, dpr);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    p.drawPixmap(box.translated(dx * kEdge * 0.8, dy * kEdge * 0.8), rim, QRectF());
        p.drawPixmap(box, SymbolIcons::pixmap("cup.and.saucer.fill"_sym, size, ink, dpr), QRectF());
    }
    return pm;
}

void MenuBarExtra::updateIcon() {
    const bool badge = m_services.keepAwake && m_services.keepAwake->isActive();
    QIcon icon;
    const QColor ink = defaultInk();
    for (qreal dpr : {1.0, 2.0})
        icon.addPixmap(label(badge, dpr, ink));
    m_icon = icon;
    m_badgeShown = badge;
    if (m_tray)
        m_tray->setIcon(m_icon);
    emit iconChanged();
}

bool MenuBarExtra::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_panel.get())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Hide:
        m_sinceHidden.start();
        break;
    // What a popup does by itself: a click elsewhere (the panel loses activation) or Escape
    // closes it.
    case QEvent::WindowDeactivate:
        m_panel->hide();
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_panel->hide();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void MenuBarExtra::togglePanel() {
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    if (m_sinceHidden.isValid() && m_sinceHidden.elapsed() < kReopenGuardMs)
        return;
    // Drop down from the tray icon when the tray says where it is, else from the pointer.
    QRect anchor = m_tray ? m_tray->geometry() : QRect();
    if (!anchor.isValid())
        anchor = QRect(QCursor::pos(), QSize(1, 1));
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1440, 900);
    const QSize size = m_panel->size();
    QPoint pos(anchor.center().x() - size.width() / 2, anchor.bottom() + 4);
    if (pos.y() + size.height() > avail.bottom())
        pos.setY(std::max(avail.top(), anchor.top() - size.height() - 4));
    pos.setX(std::clamp(pos.x(), avail.left() + 4,
                        std::max(avail.left() + 4, avail.right() - 4 - size.width())));
    m_panel->move(pos);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}
