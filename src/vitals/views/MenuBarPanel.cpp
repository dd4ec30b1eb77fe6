#include "vitals/views/MenuBarPanel.h"

#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "ui-kit/Color.h"
#include "ui-kit/QKAccessible.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKFont.h"
#include "ui-kit/QKForeground.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKStatusDot.h"
#include "ui-kit/QKSymbol.h"
#include "vitals/AppState.h"
#include "vitals/KeepAwakeManager.h"
#include "vitals/MenuBarText.h"
#include "vitals/PerformanceText.h"
#include "vitals/views/MenuBarButton.h"
#include "vitals/views/MenuBarMetricRow.h"
#include "vitals/views/PerformanceWidgets.h"
#include "vitals/views/Sparkline.h"

#include <limits>
#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kPadding = 14;
constexpr int kRowSpacing = 12;
constexpr int kChartHeight = 36;
constexpr qreal kCornerRadius = 12;

QLabel* captionLabel(QWidget* parent, QKForeground::Style tone) {
    auto* label = new QLabel(parent);
    QKFont::apply(label, TextStyle::Caption);
    QKForeground::apply(label, tone);
    return label;
}

// A symbol tinted by the caller, then a caption text in the secondary style: battery and heat.
QWidget* iconRow(QWidget* parent, const QString& objectName, QKSymbol** symbol, QLabel** text) {
    using namespace QKLayout;
    QWidget* row = nullptr;
    part(row = new QWidget(parent))
        .name(objectName)
        .holding(QKLayout::row(
            {0, 0, 0, 0}, 6,
            {part(*symbol = new QKSymbol(QString(), QKFont{.style = TextStyle::Caption}, row))
                 .align(Qt::AlignVCenter),
             part(*text = captionLabel(row, QKForeground::Secondary))
                 .name(objectName + QStringLiteral("Text"))
                 .align(Qt::AlignVCenter),
             stretch(1)}));
    return row;
}

// A history chart, at the panel's chart height.
QKLayout::Part<Sparkline> chart(Sparkline* sparkline, const QString& name) {
    return QKLayout::part(sparkline).name(name).with(
        [](Sparkline* s) { s->setFixedHeight(kChartHeight); });
}

QKLayout::Part<MenuBarButton> menuButton(MenuBarButton*& out, const QString& title,
                                         const QString& symbol, MenuBarButton::Look look,
                                         const QString& name, QWidget* parent) {
    return QKLayout::part(out = new MenuBarButton(title, symbol, look, parent)).name(name);
}

} // namespace

MenuBarPanel::MenuBarPanel(AppState& appState, KeepAwakeManager& keepAwake, QWidget* parent)
    : QWidget(parent), m_appState(appState), m_keepAwake(keepAwake) {
    setObjectName(QStringLiteral("menuBarPanel"));
    // Assistive technology meets the panel as a dialog of the app, named after it.
    QKAccessible::setRole(this, QAccessible::Dialog);
    setAccessibleName(MenuBarText::panelName());
    setFixedWidth(panelWidth);
    // The panel holds the focus when it opens, so no button starts out ringed; Tab then goes
    // from button to button and never stops at the panel itself, which shows no focus.
    setFocusPolicy(Qt::ClickFocus);
    buildRows();

    connect(&appState, &AppState::snapshotChanged, this, &MenuBarPanel::render);
    connect(&appState, &AppState::isFreeingMemoryChanged, this, &MenuBarPanel::render);
    connect(&appState, &AppState::lastFreedBytesChanged, this, &MenuBarPanel::render);
    connect(&appState, &AppState::memoryHistoryChanged, this, &MenuBarPanel::render);
    connect(&appState, &AppState::diskUsedHistoryChanged, this, &MenuBarPanel::render);
    connect(&keepAwake, &KeepAwakeManager::isActiveChanged, this, [this] {
        m_startRefused = false;
        render();
    });
    connect(&keepAwake, &KeepAwakeManager::statusLineChanged, this, &MenuBarPanel::render);
    connect(&keepAwake, &KeepAwakeManager::lastNoteChanged, this, &MenuBarPanel::render);
    render();
}

QKLayout::Box MenuBarPanel::breakdownRows() {
    using namespace QKLayout;
    // The first row (available memory) is emphasised.
    Box stack = column({0, 4, 0, 4}, 4, {});
    for (int i = 0; i < 6; ++i) {
        const bool first = i == 0;
        auto* label = new QKLineLabel(QString(), this);
        auto* value = new QKLineLabel(QString(), this);
        value->setTabularDigits(true);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        stack.add(row({
            part(label)
                .name(QStringLiteral("breakdownLabel%1").arg(i))
                .font(TextStyle::Caption)
                .ink(first ? QKForeground::Primary : QKForeground::Secondary)
                .stretch(1)
                .align(Qt::AlignVCenter),
            part(value)
                .name(QStringLiteral("breakdownValue%1").arg(i))
                .font(QKFont{.style = first ? TextStyle::Callout : TextStyle::Caption,
                             .weight = first ? QFont::DemiBold : QFont::Normal,
                             .monospacedDigit = true})
                .ink(QKForeground::Primary)
                .align(Qt::AlignVCenter),
        }));
        m_breakdownLabels.append(label);
        m_breakdownValues.append(value);
    }
    return stack;
}

void MenuBarPanel::buildRows() {
    using namespace QKLayout;
    column({kPadding, kPadding, kPadding, kPadding}, kRowSpacing,
           {
               headerRow(),
               keepAwakeStatus(),
               // Free up memory, and what the last run recovered.
               menuButton(m_freeButton, MenuBarText::freeButton(false), "arrow.3.trianglepath"_sym,
                          MenuBarButton::Look::Prominent, QStringLiteral("freeMemoryButton"), this),
               part(m_freedLine = captionLabel(this, QKForeground::Secondary))
                   .name(QStringLiteral("freedResult")),
               breakdownRows(),
               histories(),
               m_batteryRow =
                   iconRow(this, QStringLiteral("batteryRow"), &m_batterySymbol, &m_batteryText),
               m_heatRow = iconRow(this, QStringLiteral("heatRow"), &m_heatSymbol, &m_heatText),
               new QKHairline(this, 0.10),
               actions(),
           })
        .on(this)
        ->setSizeConstraint(QLayout::SetNoConstraint);

    connect(m_freeButton, &QPushButton::clicked, this, &MenuBarPanel::freeMemory);
    connect(m_keepAwakeButton, &QPushButton::clicked, this, &MenuBarPanel::toggleKeepAwake);
    connect(m_openButton, &QPushButton::clicked, this, &MenuBarPanel::openMainWindow);
    connect(m_refreshButton, &QPushButton::clicked, this, &MenuBarPanel::refresh);
    connect(m_quitButton, &QPushButton::clicked, this, &MenuBarPanel::quitRequested);
}

QKLayout::Box MenuBarPanel::headerRow() {
    using namespace QKLayout;
    // The headline is plain text: it may name any process.
    return row(6, {part(m_dot = new QKStatusDot(this))
                       .name(QStringLiteral("statusDot"))
                       .align(Qt::AlignVCenter),
                   part(m_headline = new QLabel(this))
                       .name(QStringLiteral("headline"))
                       .with([](QLabel* l) {
                           l->setTextFormat(Qt::PlainText);
                           l->setWordWrap(true);
                       })
                       .font(TextStyle::Callout, QFont::Medium)
                       .ink(QKForeground::Primary)
                       .stretch(1)
                       .align(Qt::AlignVCenter)});
}

QKLayout::Item MenuBarPanel::keepAwakeStatus() {
    using namespace QKLayout;
    return part(m_keepAwakeRow = new QWidget(this))
        .name(QStringLiteral("keepAwakeStatus"))
        .holding(row({0, 0, 0, 0}, 6,
                     {part(m_keepAwakeSymbol = new QKSymbol("cup.and.saucer.fill"_sym,
                                                            QKFont{.style = TextStyle::Caption},
                                                            QKForeground::Orange, m_keepAwakeRow))
                          .align(Qt::AlignTop),
                      part(m_keepAwakeText = captionLabel(m_keepAwakeRow, QKForeground::Orange))
                          .name(QStringLiteral("keepAwakeStatusText"))
                          .with([](QLabel* l) { l->setWordWrap(true); })
                          .stretch(1)
                          .align(Qt::AlignTop)}));
}

QKLayout::Box MenuBarPanel::histories() {
    using namespace QKLayout;
    return items({
        column(4, {part(m_memoryRow = new MenuBarMetricRow(MenuBarText::memoryTitle(), this))
                       .name(QStringLiteral("memoryMetric")),
                   chart(m_memoryChart = new Sparkline(this), QStringLiteral("memoryHistory"))}),
        column(4,
               {part(m_diskRow = new MenuBarMetricRow(MenuBarText::diskTitle(), this))
                    .name(QStringLiteral("diskMetric"))
                    .with([](MenuBarMetricRow* r) { r->setSubtitle(MenuBarText::diskSubtitle()); }),
                chart(m_diskChart = new Sparkline(this), QStringLiteral("diskHistory"))}),
    });
}

QKLayout::Box MenuBarPanel::actions() {
    using namespace QKLayout;
    const auto bordered = MenuBarButton::Look::Bordered;
    return column(6, {menuButton(m_keepAwakeButton, MenuBarText::keepAwakeButton(false),
                                 "cup.and.saucer.fill"_sym, bordered,
                                 QStringLiteral("keepAwakeButton"), this),
                      menuButton(m_openButton, MenuBarText::openButton(), "macwindow"_sym, bordered,
                                 QStringLiteral("openButton"), this),
                      row(6, {menuButton(m_refreshButton, MenuBarText::refreshButton(), QString(),
                                         bordered, QStringLiteral("refreshButton"), this)
                                  .stretch(1),
                              menuButton(m_quitButton, MenuBarText::quitButton(), QString(),
                                         bordered, QStringLiteral("quitButton"), this)
                                  .stretch(1)})});
}

// --- Rendering

void MenuBarPanel::render() {
    // One read of the snapshot feeds every row.
    const SystemSnapshot& s = m_appState.snapshot();

    // The dot says what the headline beside it says, never something else.
    m_dot->setStyle(PerformanceWidgets::toneStyle(PerformanceText::levelTone(s.headlineLevel())));
    m_headline->setText(s.headline());

    const bool awake = m_keepAwake.isActive();
    if (awake)
        m_keepAwakeText->setText(m_keepAwake.statusLine());
    else if (m_startRefused)
        m_keepAwakeText->setText(m_keepAwake.lastNote());
    m_keepAwakeRow->setVisible(awake || m_startRefused);
    m_keepAwakeButton->setText(MenuBarText::keepAwakeButton(awake));

    const bool freeing = m_appState.isFreeingMemory();
    if (freeing)
        m_hold.hold({m_freeButton});
    m_freeButton->setEnabled(!freeing);
    m_freeButton->setBusy(freeing);
    m_freeButton->setText(MenuBarText::freeButton(freeing));
    if (!freeing)
        m_hold.giveBack();
    const std::optional<qint64> freed = m_appState.lastFreedBytes();
    if (freed) {
        m_freedLine->setText(MenuBarText::freedText(*freed));
        QKForeground::apply(m_freedLine,
                            *freed < 1 ? QKForeground::Secondary : QKForeground::Green);
    }
    m_freedLine->setVisible(freed.has_value());

    const QList<SystemSnapshot::MemoryPart> parts = s.memoryBreakdown();
    for (qsizetype i = 0; i < m_breakdownLabels.size(); ++i) {
        const bool has = i < parts.size();
        m_breakdownLabels[i]->setText(has ? parts[i].label : QString());
        m_breakdownValues[i]->setText(has ? formatBytesClamped(parts[i].bytes) : QString());
    }

    m_memoryRow->setValue(formatBytesClamped(MenuBarText::availableMemoryBytes(s)));
    m_memoryRow->setSubtitle(MenuBarText::memorySubtitle(formatBytesClamped(s.memTotalBytes)));
    m_diskRow->setValue(formatBytes(s.diskFreeBytes));
    m_memoryChart->setValues(m_appState.memoryHistory());
    m_diskChart->setValues(m_appState.diskUsedHistory());
    m_diskChart->setTint(QKForeground::color(QKForeground::Orange, palette()));

    if (const std::optional<QString> battery = MenuBarText::batteryText(s)) {
        m_batteryText->setText(*battery);
        m_batterySymbol->setSymbol(MenuBarText::batterySymbol(s));
        QKForeground::apply(m_batterySymbol, QKForeground::Secondary);
    }
    m_batteryRow->setVisible(s.batteryPercent.has_value());

    m_heatText->setText(MenuBarText::heatText(s.thermal));
    m_heatSymbol->setSymbol(MenuBarText::heatSymbol(s.thermal.pressure));
    QKForeground::apply(m_heatSymbol, MenuBarText::heatIsRaised(s.thermal.pressure)
                                          ? QKForeground::Orange
                                          : QKForeground::Secondary);
    fitHeight();
}

void MenuBarPanel::fitHeight() {
    QLayout* column = layout();
    if (!column)
        return;
    const int h = column->hasHeightForWidth() ? column->totalHeightForWidth(panelWidth)
                                              : column->totalSizeHint().height();
    if (h > 0 && h != height())
        setFixedHeight(h);
}

bool MenuBarPanel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The layout has taken in a change of text, font or visibility: follow it with the height.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
        fitHeight();
    if (event->type() == QEvent::Show && !(focusWidget() && focusWidget() != this))
        setFocus(Qt::OtherFocusReason);
    if (event->type() == QEvent::Hide && m_startRefused) {
        m_startRefused = false;
        render();
    }
    return handled;
}

void MenuBarPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QRectF outline = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = kCornerRadius - 0.5;
    p.setRenderHint(QPainter::Antialiasing);
    // A masked window has its corners cut by the mask; a translucent one (where a compositor
    // runs) and a panel inside another widget draw them with the rounded fill.
    if (isWindow() && !testAttribute(Qt::WA_TranslucentBackground)) {
        p.fillRect(rect(), pal.color(QPalette::Window));
    } else {
        QKPaint::fillRounded(p, QRectF(rect()), kCornerRadius, pal.color(QPalette::Window));
    }
    QColor edge = QKForeground::color(QKForeground::Primary, pal);
    edge.setAlphaF(Color::isDark(pal) ? 0.22f : 0.16f);
    p.setPen(QPen(edge, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(outline, radius, radius);
}

void MenuBarPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateShape();
}

void MenuBarPanel::updateShape() {
    // The offscreen platform (tests, pendrel-shots) has no window shapes and says so each time.
    static const bool shapesWindows = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!isWindow() || !shapesWindows || testAttribute(Qt::WA_TranslucentBackground) ||
        size().isEmpty()) {
        clearMask();
        return;
    }
    // The mask keeps every pixel the rounded fill covers at least half of, so the cut edge and
    // the painted edge are the same staircase and no corner pixel shows the square behind it.
    QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter sp(&shape);
        sp.setRenderHint(QPainter::Antialiasing);
        QKPaint::fillRounded(sp, QRectF(rect()), kCornerRadius, Qt::black);
    }
    setMask(QRegion(QBitmap::fromImage(shape.createAlphaMask(Qt::ThresholdAlphaDither))));
}

void MenuBarPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        m_diskChart->setTint(QKForeground::color(QKForeground::Orange, palette()));
    if (event->type() == QEvent::ParentChange)
        updateShape();
    QWidget::changeEvent(event);
}

// --- Actions

void MenuBarPanel::freeMemory() {
    m_appState.freeMemory();
}

void MenuBarPanel::toggleKeepAwake() {
    m_startRefused = false;
    if (m_keepAwake.isActive()) {
        m_keepAwake.stop(KeepAwakeManager::turnedOffNote());
    } else {
        m_keepAwake.start();
        m_startRefused = !m_keepAwake.isActive() && !m_keepAwake.lastNote().isEmpty();
    }
    render();
}

void MenuBarPanel::openMainWindow() {
    const QWidget* self = window();
    const QWidgetList windows = QApplication::topLevelWidgets();
    // Windows the user may have put away come back first ...
    for (QWidget* w : windows) {
        if (w != self && w->windowType() == Qt::Window && w->isMinimized())
            w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    }
    // ... then every ordinary window on screen comes to the front, ...
    for (QWidget* w : windows) {
        if (w != self && w->windowType() == Qt::Window && w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
    // ... and in every case the app opens its main window.
    emit openMainWindowRequested();
}

void MenuBarPanel::refresh() {
    m_appState.sampleAndPublish();
}
