#include "app/SettingsWindow.h"

#include "shell/views/SettingsView.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/Themed.h"

#include <algorithm>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {

// What a window manager's title bar and borders usually take, used until the real frame is
// known: enough that a window fitted with it never reaches past the work area.
constexpr QMargins kAssumedFrame(4, 32, 4, 4);
// Some window managers report the frame a little after the window is mapped.
constexpr int kLateFrameMs = 150;
constexpr int kMinimumHeight = 200;

// Qt refreshes nested layouts' cached sizes only when a shown widget's layout is activated.
void invalidateTree(QLayoutItem* item) {
    if (!item)
        return;
    item->invalidate();
    if (QLayout* layout = item->layout()) {
        for (int i = 0; i < layout->count(); ++i)
            invalidateTree(layout->itemAt(i));
    }
}

} // namespace

SettingsWindow::SettingsWindow(RunModeManager* runMode, UpdaterManager* updater, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Pendrel Settings"));
    setAccessibleName(windowTitle());
    QKAccessible::setRole(this, QAccessible::Window);
    Themed::apply(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("settingsScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_view = new SettingsView(runMode, updater);
    m_scroll->setWidget(m_view);
    m_view->setAutoFillBackground(false);
    layout->addWidget(m_scroll);
    m_view->installEventFilter(this);
}

QMargins SettingsWindow::frameMargins() const {
    if (const QWindow* handle = windowHandle(); handle && handle->isVisible()) {
        const QMargins real = handle->frameMargins();
        if (!real.isNull())
            return real;
    }
    return kAssumedFrame;
}

int SettingsWindow::formHeight() const {
    // Before the first showing nothing is polished yet, and while the window is hidden a text
    // size change reaches the labels but not the size hints their containers keep; both are
    // brought up to date so the height is the one the form will show with.
    m_view->ensurePolished();
    invalidateTree(m_view->layout());
    const QList<QWidget*> parts = m_view->findChildren<QWidget*>();
    for (QWidget* part : parts) {
        part->updateGeometry();
        invalidateTree(part->layout());
    }
    return laidOutHeight();
}

int SettingsWindow::laidOutHeight() const {
    return m_view->hasHeightForWidth() ? m_view->heightForWidth(SettingsView::kWidth)
                                       : m_view->sizeHint().height();
}

QRect SettingsWindow::availableArea() const {
    const QScreen* screen = nullptr;
    if (m_placed)
        screen = this->screen();
    if (!screen)
        screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1440, 900);
}

void SettingsWindow::fitInto(const QRect& available) {
    const QMargins frame = frameMargins();
    const int roomHeight = std::max(1, available.height() - frame.top() - frame.bottom());
    const int form = formHeight();
    const bool scrolls = form > roomHeight;
    const int scrollBar = scrolls ? m_scroll->verticalScrollBar()->sizeHint().width() : 0;
    const int width = SettingsView::kWidth + scrollBar;
    const int height = std::min(form, roomHeight);
    setFixedWidth(width);
    // The user may make it shorter; the form then scrolls.
    setMinimumHeight(std::min(height, kMinimumHeight));

    // The client area must keep its frame inside the work area.
    const QRect room = available.marginsRemoved(frame);
    QPoint pos = m_placed ? geometry().topLeft()
                          : QPoint(room.left() + (room.width() - width) / 2,
                                   room.top() + (room.height() - height) / 2);
    pos.setX(std::clamp(pos.x(), room.left(), std::max(room.left(), room.right() + 1 - width)));
    pos.setY(std::clamp(pos.y(), room.top(), std::max(room.top(), room.bottom() + 1 - height)));
    // Client geometry, frame excluded (move() would place the frame).
    const QRect target(pos, QSize(width, height));
    if (target != geometry())
        setGeometry(target);
    m_placed = true;
    m_fittedHeight = laidOutHeight();
    m_fittedFrame = frame;
    emit fitted();
}

void SettingsWindow::setVisible(bool visible) {
    // Fitted before it comes up, so the window manager places a window of its final size.
    if (visible && !isVisible())
        fitInto(availableArea());
    QWidget::setVisible(visible);
}

void SettingsWindow::queueFit() {
    if (m_fitQueued)
        return;
    m_fitQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_fitQueued = false;
        // A fit refreshes the form's size hints, and that alone asks for a layout again; only a
        // height that really changed is fitted, or the window would fit itself for ever.
        if (isVisible() && laidOutHeight() != m_fittedHeight)
            fitInto(availableArea());
    });
}

bool SettingsWindow::event(QEvent* event) {
    if (event->type() == QEvent::Show) {
        queueFit();
        // The window manager may report the real frame only after the showing: fitted again
        // then, but only if the frame or the form's height differs from the last fit.
        QTimer::singleShot(kLateFrameMs, this, [this] {
            if (isVisible() &&
                (frameMargins() != m_fittedFrame || laidOutHeight() != m_fittedHeight))
                fitInto(availableArea());
        });
    }
    return QWidget::event(event);
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    const bool escape = event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    const bool closeKeys =
        event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_W) ||
        event->matches(QKeySequence::Close);
    if (escape || closeKeys) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    // The form's height changed (text size, a line coming or going): the window follows.
    if (watched == m_view && event->type() == QEvent::LayoutRequest)
        queueFit();
    return QWidget::eventFilter(watched, event);
}
