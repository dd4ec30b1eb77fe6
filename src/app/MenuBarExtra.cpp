#include "app/MenuBarExtra.h"

#include "platform/SymbolIcons.h"
#include "ui-kit/Themed.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/views/MenuBarPanel.h"

#include <QCursor>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QSystemTrayIcon>

MenuBarExtra::MenuBarExtra(const Services& services, QObject* parent)
    : QObject(parent), m_services(services) {
    m_panel = std::make_unique<MenuBarPanel>(services);
    m_panel->setWindowFlags(Qt::Popup);
    Themed::apply(m_panel.get());
    connect(static_cast<MenuBarPanel*>(m_panel.get()), &MenuBarPanel::openMainWindowRequested, this,
            [this] {
                m_panel->hide();
                emit openMainWindowRequested();
            });
    connect(static_cast<MenuBarPanel*>(m_panel.get()), &MenuBarPanel::quitRequested, this,
            &MenuBarExtra::quitRequested);

    m_tray = std::make_unique<QSystemTrayIcon>();
    m_tray->setToolTip(QStringLiteral("Pendrel"));
    connect(m_tray.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
                    togglePanel();
            });
    connect(services.keepAwake, &KeepAwakeManager::isActiveChanged, this,
            &MenuBarExtra::updateIcon);
    updateIcon();
    m_tray->show();
}

MenuBarExtra::~MenuBarExtra() = default;

QColor MenuBarExtra::defaultInk() {
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    return window.lightness() > 128 ? QColor(0x1D, 0x1D, 0x1F) : QColor(0xF2, 0xF2, 0xF2);
}

QPixmap MenuBarExtra::label(bool badge, qreal dpr, QColor ink) {
    if (!ink.isValid())
        ink = defaultInk();
    const QColor rim = ink.lightness() > 128 ? QColor(0, 0, 0, 140) : QColor(255, 255, 255, 140);
    const QSize size(18, 16);
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    p.setFont(font);
    const QRectF box(QPointF(0, 0), QSizeF(size));
    p.setPen(rim);
    p.drawText(box.translated(0.6, 0.6), Qt::AlignCenter, QStringLiteral("P"));
    p.setPen(ink);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("P"));
    if (badge) {
        const QSizeF badgeSize(7.5, 7.5);
        const QPointF centre = box.center() + QPointF(7, 5);
        const QRectF badgeBox(centre - QPointF(badgeSize.width() / 2, badgeSize.height() / 2),
                              badgeSize);
        p.drawPixmap(badgeBox, SymbolIcons::pixmap(QStringLiteral("cup.and.saucer.fill"),
                                                   badgeSize.toSize() + QSize(1, 1),
                                                   ink, dpr),
                     QRectF());
    }
    return pm;
}

void MenuBarExtra::updateIcon() {
    m_tray->setIcon(QIcon(label(m_services.keepAwake->isActive())));
}

void MenuBarExtra::togglePanel() {
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    m_panel->adjustSize();
    // Drop down from the tray icon when the tray says where it is, else from the pointer.
    QRect anchor = m_tray->geometry();
    if (!anchor.isValid())
        anchor = QRect(QCursor::pos(), QSize(1, 1));
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1440, 900);
    QPoint pos(anchor.center().x() - m_panel->width() / 2, anchor.bottom() + 4);
    if (pos.y() + m_panel->height() > avail.bottom())
        pos.setY(anchor.top() - m_panel->height() - 4);
    pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() - m_panel->width())));
    m_panel->move(pos);
    m_panel->show();
}
