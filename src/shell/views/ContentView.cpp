#include "shell/views/ContentView.h"

#include "assistant/TamsoAssistant.h"
#include "platform/NotificationCenter.h"
#include "platform/UserDefaults.h"
#include "shell/QKFeature.h"
#include "shell/ScreenState.h"
#include "shell/views/DetailCard.h"
#include "shell/views/MainBackdrop.h"
#include "shell/views/SidebarView.h"
#include "ui-kit/QKLayout.h"
#include "vitals/AppState.h"

#include <QApplication>
#include <QLayout>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QTimer>

ContentView::ContentView(const Services& services, Deps deps, QWidget* parent)
    : QWidget(parent), m_services(services), m_makeScreen(std::move(deps.makeScreen)),
      m_defaults(deps.defaults ? *deps.defaults : UserDefaults::standard()) {
    Q_ASSERT(services.appState && services.assistant && services.screen);
    setObjectName(QStringLiteral("contentView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    Q_ASSERT(m_makeScreen);

    using namespace QKLayout;
    row({14, 14, 14, 14}, 14,
        {part(m_sidebar = new SidebarView(*services.appState, m_defaults, this)),
         part(m_card = new DetailCard(this, m_defaults, this)).stretch(1)})
        .on(this);
    connect(m_sidebar, &SidebarView::rowClicked, this, &ContentView::selectRow);

    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.observe(Notifications::OpenSection, this,
                   [this](const QString& payload) { openSection(payload); });
    center.observe(Notifications::AskTamso, this,
                   [this](const QString& payload) { onAskTamso(payload); });
    center.observe(Notifications::OpenDiskMode, this,
                   [this](const QString& payload) { onOpenDiskMode(payload); });

    m_sidebar->setSelection(m_selection, false);
    showSelectedFeature();
}

const QKFeature& ContentView::selectedFeature() const {
    if (const QKFeature* f = QKFeature::lookup(m_selection))
        return *f;
    if (const QKFeature* f = QKFeature::lookup(QStringLiteral("dashboard")))
        return *f;
    // The catalog is fixed and never empty.
    return QKFeature::all().front();
}

QString ContentView::title() const {
    return selectedFeature().title;
}

void ContentView::selectSection(const QString& id) {
    setSelection(id, false);
}

void ContentView::selectRow(const QString& id) {
    setSelection(id, true);
}

void ContentView::setSelection(const QString& id, bool animated) {
    if (id == m_selection)
        return;
    m_selection = id;
    m_sidebar->setSelection(id, animated);
    emit selectionChanged(id);
    showSelectedFeature();
}

void ContentView::showSelectedFeature() {
    const QKFeature& feature = selectedFeature();
    if (feature.id == m_shownFeature)
        return;
    m_shownFeature = feature.id;
    qInfo("Pendrel: showing section %s", qPrintable(feature.id));
    QWidget* screen = m_makeScreen(feature.id, m_card);
    // A reader calls the screen, and the page it scrolls, by its section's title.
    if (screen && screen->accessibleName().isEmpty())
        screen->setAccessibleName(feature.title);
    // A screen that sends the user on to another section (a card's button, a question asked)
    // takes the keyboard focus with it as it goes; left to Qt, the focus would fall to whatever
    // follows the card, the sidebar's footer. It goes to the new screen's first control instead.
    QWidget* focused = QApplication::focusWidget();
    const bool focusLeaves = focused && m_card->isAncestorOf(focused);
    if (focusLeaves)
        focused->clearFocus();
    m_card->setScreen(screen);
    if (focusLeaves && screen) {
        if (QWidget* first = firstStop(*screen))
            first->setFocus(Qt::TabFocusReason);
    }
    emit titleChanged(feature.title);
}

QWidget* ContentView::firstStop(QWidget& screen) {
    // the focus chain runs through the whole window; the screen's own part of it follows it
    QWidget* w = screen.nextInFocusChain();
    for (int guard = 0; w != &screen && guard < 10000; ++guard, w = w->nextInFocusChain()) {
        if (screen.isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() &&
            w->isEnabled())
            return w;
    }
    return nullptr;
}

void ContentView::openSection(const QString& payload) {
    if (QKFeature::lookup(payload))
        selectSection(payload);
}

void ContentView::onAskTamso(const QString& payload) {
    const TamsoScreenContext context = screenContext();
    selectSection(QStringLiteral("tamso"));
    if (payload.isEmpty())
        return;
    QPointer<AppState> appState = m_services.appState;
    QPointer<TamsoAssistant> assistant = m_services.assistant;
    QTimer::singleShot(kAskDelayMs, this, [appState, assistant, payload, context] {
        if (!assistant)
            return;
        // The sample current at the moment of asking, not the one when the message came.
        const SystemSnapshot snapshot = appState ? appState->snapshot() : SystemSnapshot();
        assistant->ask(payload, snapshot, context);
    });
}

void ContentView::onOpenDiskMode(const QString& payload) {
    selectSection(QStringLiteral("disk"));
    if (const std::optional<DiskMode> mode = fromRawValue<DiskMode>(payload);
        mode && m_services.screen)
        m_services.screen->setDiskMode(*mode);
}

TamsoScreenContext ContentView::screenContext() const {
    const QKFeature& feature = selectedFeature();
    TamsoScreenContext context{feature.id, feature.title, std::nullopt};
    if (m_services.screen)
        context.detail = subModeTitle(feature.id, *m_services.screen);
    return context;
}

std::optional<QString> ContentView::subModeTitle(const QString& featureId,
                                                 const ScreenState& state) {
    if (featureId == QLatin1String("disk"))
        return ::title(state.diskMode());
    if (featureId == QLatin1String("uninstaller"))
        return ::title(state.appsPane());
    if (featureId == QLatin1String("devclean"))
        return ::title(state.devPane());
    return std::nullopt;
}

void ContentView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    MainBackdrop::paint(p, size(), devicePixelRatioF());
}
