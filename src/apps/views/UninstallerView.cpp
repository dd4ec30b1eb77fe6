#include "apps/views/UninstallerView.h"

#include "apps/AppUninstaller.h"
#include "apps/InstalledAppListModel.h"
#include "apps/UninstallerText.h"
#include "apps/views/AppIconCache.h"
#include "apps/views/InstalledAppDelegate.h"
#include "platform/ByteFormat.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirm.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKRule.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/TamsoExplainRow.h"

#include <algorithm>
#include <QBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedWidget>

namespace {

// The widest the result line grows before it wraps.
constexpr int kResultWidth = 420;

// A large spinner with its label under it, centred in all the space it gets.
QWidget* busyPage(const QString& text, const QString& name, QWidget* parent) {
    auto* page =
        new QKBusyPage(text, {.indicator = QKBusyLook::Indicator::LargeSpinner, .gap = 6}, parent);
    page->setObjectName(name);
    return page;
}

} // namespace

UninstallerView::UninstallerView(ScreenState& screen, AppUninstaller& uninstaller, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_uninstaller(&uninstaller) {
    setObjectName(QStringLiteral("uninstallerView"));
    setWindowTitle(UninstallerText::title());

    using namespace QKLayout;
    AskTamsoStrip* ask = nullptr;
    flushColumn({buildHeader(),
                 AskTamsoStrip::underHeader(ask, UninstallerText::askPrompt(),
                                            UninstallerText::askQuestion(), this),
                 part(m_content = new QKScanStatePages(this)).stretch(1)})
        .on(this);
    m_findingPage = busyPage(UninstallerText::finding(), QStringLiteral("findingApps"), m_content);
    m_failedPage = new QKEmptyState(UninstallerText::failedTitle(), "exclamationmark.triangle"_sym,
                                    std::nullopt, m_content);
    m_failedPage->setObjectName(QStringLiteral("appsFailed"));
    m_readyPage = buildReadyPage();
    m_content->setPage(QKScanPhase::Idle, m_findingPage);
    m_content->setPage(QKScanPhase::Busy, m_findingPage);
    m_content->setPage(QKScanPhase::Failed, m_failedPage);
    m_content->setPage(QKScanPhase::Done, m_readyPage);

    m_confirm = new DeleteConfirm(this, UninstallerText::confirmTitle(std::nullopt, 0),
                                  UninstallerText::confirmMessage(), UninstallerText::confirmVerb(),
                                  [this] { runUninstall(); });

    connect(&uninstaller, &AppUninstaller::stateChanged, this, &UninstallerView::showState);
    connect(&uninstaller, &AppUninstaller::appsChanged, this, &UninstallerView::refreshList);
    connect(&uninstaller, &AppUninstaller::selectedAppChanged, this,
            &UninstallerView::showSelection);
    connect(&uninstaller, &AppUninstaller::leftoversChanged, this, &UninstallerView::showLeftovers);
    connect(&uninstaller, &AppUninstaller::leftoversLoadingChanged, this,
            &UninstallerView::showLeftovers);
    connect(&screen, &ScreenState::uninstallSearchChanged, this, [this](const QString& text) {
        if (m_search->text() != text)
            m_search->setText(text);
        refreshList();
    });
    connect(&screen, &ScreenState::uninstallResultChanged, this,
            [this](const ScreenState::OptionalString& line) {
                m_result->setText(line.value_or(QString()));
                m_result->setVisible(line.has_value());
                fitResultLine();
            });

    showState();
    refreshList();
    showSelection();
}

QWidget* UninstallerView::buildHeader() {
    auto* header = new QWidget(this);
    const ScreenState::OptionalString line = m_screen.uninstallResult();
    using namespace QKLayout;
    row({16, 16, 16, 16},
        {titles(UninstallerText::headline(), UninstallerText::subtitle(), header,
                QStringLiteral("uninstallHeadline")),
         space(8),
         // Green for every outcome, the failures included: the line reports, it does not alarm.
         part(m_result = QKBuild::label(line.value_or(QString()), TextStyle::Caption,
                                        QKForeground::Green, header))
             .name(QStringLiteral("uninstallResult"))
             .with([this, &line](QLabel* result) {
                 result->setVisible(line.has_value());
                 result->setMaximumWidth(kResultWidth);
                 fitResultLine();
             })
             .align(Qt::AlignVCenter),
         part(m_rescan = QKBuild::button(UninstallerText::rescan(), true, header))
             .name(QStringLiteral("rescanButton"))
             .align(Qt::AlignVCenter)})
        .on(header);
    connect(m_rescan, &QPushButton::clicked, this, [this] {
        if (m_uninstaller)
            m_uninstaller->loadApps();
    });
    return header;
}

QWidget* UninstallerView::buildReadyPage() {
    using namespace QKLayout;
    auto* page = new QWidget(m_content);
    page->setObjectName(QStringLiteral("appsReady"));
    m_model = new InstalledAppListModel(this);
    m_model->setObjectName(QStringLiteral("appModel"));
    QWidget* list = nullptr;
    QWidget* searchRow = nullptr;
    flushRow({part(list = new QWidget(page))
                  .with([](QWidget* w) { w->setFixedWidth(300); })
                  .holding(flushColumn(
                      {part(searchRow = new QWidget(list))
                           .holding(Box(Qt::Vertical, QMargins(10, 10, 10, 10), std::nullopt,
                                        {part(m_search = new QLineEdit(searchRow))
                                             .name(QStringLiteral("appSearch"))
                                             .accessibleName(UninstallerText::searchPlaceholder())
                                             .with([this](QLineEdit* e) {
                                                 e->setPlaceholderText(
                                                     UninstallerText::searchPlaceholder());
                                                 e->setClearButtonEnabled(true);
                                                 e->setText(m_screen.uninstallSearch());
                                             })
                                             .font(TextStyle::Body)})),
                       part(m_list = new QListView(list))
                           .name(QStringLiteral("appList"))
                           .accessibleName(UninstallerText::appListName())
                           .with([this](QListView* l) { setUpAppList(l); })
                           .stretch(1)})),
              new QKRule(Qt::Vertical, page),
              part(m_detailStack = new QStackedWidget(page)).stretch(1)})
        .on(page);
    m_pickPage = new QKEmptyState(UninstallerText::pickTitle(), "trash"_sym,
                                  UninstallerText::pickMessage(), m_detailStack);
    m_pickPage->setObjectName(QStringLiteral("pickAnApp"));
    m_detailPage = buildDetail();
    m_detailStack->addWidget(m_pickPage);
    m_detailStack->addWidget(m_detailPage);

    connect(m_search, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_screen.setUninstallSearch(text); });
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        // The clear button changes the text without an edit.
        if (text.isEmpty() && !m_screen.uninstallSearch().isEmpty())
            m_screen.setUninstallSearch(text);
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncingSelection || !current.isValid())
                    return;
                pick(current.data(InstalledAppListModel::IdRole).toString());
            });
    return page;
}

void UninstallerView::setUpAppList(QListView* list) {
    list->setModel(m_model);
    list->setItemDelegate(new InstalledAppDelegate(list));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameShape(QFrame::NoFrame);
    list->setUniformItemSizes(true);
    list->setMouseTracking(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->viewport()->setAutoFillBackground(false);
    list->setAutoFillBackground(false);
}

QWidget* UninstallerView::buildDetail() {
    using namespace QKLayout;
    auto* page = new QWidget(m_detailStack);
    page->setObjectName(QStringLiteral("appDetail"));
    column({16, 16, 16, 16}, 12,
           {row(12, {part(m_icon = new QLabel(page)).with([](QLabel* icon) {
                         icon->setFixedSize(40, 40);
                     }),
                     column(2, {part(m_name = new QKLineLabel(QString(), page))
                                    .name(QStringLiteral("appName"))
                                    .font(TextStyle::Title3, QFont::Bold)
                                    .ink(QKForeground::Primary),
                                part(m_identity = new QKLineLabel(QString(), page))
                                    .name(QStringLiteral("appIdentity"))
                                    .font(TextStyle::Caption)
                                    .ink(QKForeground::Secondary)})
                         .stretch(1),
                     space(12),
                     part(m_uninstall = new QKProminentButton(QString(), page))
                         .name(QStringLiteral("uninstallButton"))
                         .with([](QKProminentButton* b) { b->setDestructive(true); })}),
            part(new QKHairline(page)),
            part(QKBuild::label(UninstallerText::leftoversHeading(), TextStyle::Subheadline,
                                QKForeground::Primary, page, QFont::DemiBold, false)),
            part(buildLeftovers(page)).stretch(1)})
        .on(page);
    connect(m_uninstall, &QPushButton::clicked, this, [this] { m_confirm->setPresented(true); });
    return page;
}

// What the app leaves behind: being looked for, none, or the list of them.
QKScanStatePages* UninstallerView::buildLeftovers(QWidget* page) {
    using namespace QKLayout;
    // Flush boxes that keep the style's spacing.
    const auto box = [](std::initializer_list<Item> items) {
        return Box(Qt::Vertical, QMargins(), std::nullopt, items);
    };
    m_leftoverStack = new QKScanStatePages(page);
    m_checkingPage =
        busyPage(UninstallerText::checking(), QStringLiteral("checkingLeftovers"), m_leftoverStack);
    m_nonePage = new QWidget(m_leftoverStack);
    m_nonePage->setObjectName(QStringLiteral("noLeftovers"));
    box({part(QKBuild::label(UninstallerText::noLeftovers(), TextStyle::Callout,
                             QKForeground::Secondary, m_nonePage))
             .with([](QLabel* l) { l->setAlignment(Qt::AlignHCenter | Qt::AlignTop); }),
         stretch(1)})
        .on(m_nonePage);

    m_leftoverPage = new QWidget(m_leftoverStack);
    m_leftoverPage->setObjectName(QStringLiteral("leftoverList"));
    // The area reads as the heading above it; Tab passes it for the rows' own boxes.
    QScrollArea* scroll = QKBuild::plainScroll(new QScrollArea(m_leftoverPage));
    scroll->setAccessibleName(UninstallerText::leftoversHeading());
    auto* content = new QWidget;
    content->setAutoFillBackground(false);
    box({part(m_leftoverCard = new QKCardSurface(10, false, content))
             .holding(column({12, 4, 12, 4}, 0, {}).keep(m_leftoverColumn)),
         stretch(1)})
        .on(content);
    scroll->setWidget(content);
    box({part(scroll)}).on(m_leftoverPage);

    m_leftoverStack->setPage(QKScanPhase::Busy, m_checkingPage);
    m_leftoverStack->setPage(QKScanPhase::Empty, m_nonePage);
    m_leftoverStack->setPage(QKScanPhase::Done, m_leftoverPage);
    return m_leftoverStack;
}

bool UninstallerView::showsFinding() const {
    return m_content->currentWidget() == m_findingPage;
}
bool UninstallerView::showsPickPrompt() const {
    return m_content->currentWidget() == m_readyPage &&
           m_detailStack->currentWidget() == m_pickPage;
}
bool UninstallerView::showsLeftoverProgress() const {
    return m_detailStack->currentWidget() == m_detailPage &&
           m_leftoverStack->currentWidget() == m_checkingPage;
}
bool UninstallerView::showsNoLeftovers() const {
    return m_detailStack->currentWidget() == m_detailPage &&
           m_leftoverStack->currentWidget() == m_nonePage;
}

void UninstallerView::fitResultLine() {
    // A wrapping label asks for little width; the line takes what it needs on one line, and
    // wraps only past the cap.
    const int natural = QFontMetrics(m_result->font()).horizontalAdvance(m_result->text()) + 2;
    m_result->setMinimumWidth(std::min(natural, kResultWidth));
}

void UninstallerView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fitResultLine();
    // Showing the pane asks for a fresh list, unless a load with nothing to show yet is running.
    if (!event->spontaneous() && m_uninstaller &&
        !(m_uninstaller->state().isRunning() && m_uninstaller->apps().isEmpty()))
        m_uninstaller->loadApps();
}

void UninstallerView::showState() {
    if (!m_uninstaller)
        return;
    const AppUninstaller::State state = m_uninstaller->state();
    // A list shown while its rescan runs is shown as it stands.
    QKScanPhase phase = QKScanStatePages::phaseOf(state.phase);
    if (phase == QKScanPhase::Busy && !m_uninstaller->apps().isEmpty())
        phase = QKScanPhase::Done;
    m_content->showPhase(phase, state.failure);
}

void UninstallerView::refreshList() {
    if (!m_uninstaller)
        return;
    m_syncingSelection = true;
    m_model->setApps(m_uninstaller->apps(), m_screen.uninstallSearch());
    m_syncingSelection = false;
    syncListSelection();
}

void UninstallerView::syncListSelection() {
    if (!m_uninstaller)
        return;
    const std::optional<InstalledApp>& selected = m_uninstaller->selectedApp();
    const int row = selected ? m_model->rowOf(selected->id) : -1;
    m_syncingSelection = true;
    if (row >= 0) {
        const QModelIndex index = m_model->index(row);
        m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        m_list->selectionModel()->clearSelection();
        m_list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    m_syncingSelection = false;
}

void UninstallerView::pick(const QString& id) {
    if (!m_uninstaller)
        return;
    // The whole list, not just the rows the search leaves.
    for (const InstalledApp& app : m_uninstaller->apps()) {
        if (app.id == id) {
            m_uninstaller->select(app);
            return;
        }
    }
}

void UninstallerView::showSelection() {
    if (!m_uninstaller)
        return;
    syncListSelection();
    const std::optional<InstalledApp>& app = m_uninstaller->selectedApp();
    if (!app) {
        m_detailStack->setCurrentWidget(m_pickPage);
        updateConfirmTitle();
        return;
    }
    const qreal dpr = devicePixelRatioF();
    AppIconCache icons;
    m_icon->setPixmap(icons.pixmap(app->path(), app->name, 40, dpr));
    m_name->setText(app->name);
    m_identity->setText(UninstallerText::identityLine(*app));
    m_detailStack->setCurrentWidget(m_detailPage);
    showLeftovers();
}

void UninstallerView::showLeftovers() {
    if (!m_uninstaller)
        return;
    const QList<LeftoverItem>& items = m_uninstaller->leftovers();

    bool sameRows = items.size() == m_rows.size();
    for (qsizetype i = 0; sameRows && i < items.size(); ++i)
        sameRows = m_rows.at(i)->property("leftoverId").toUuid() == items.at(i).id;
    if (sameRows) {
        // A tick changed: the rows stay, so the checkbox under the pointer keeps its focus.
        for (qsizetype i = 0; i < items.size(); ++i)
            m_rows.at(i)->setSelected(items.at(i).selected);
    } else {
        // A rebuild can come from inside a row's own checkbox signal, so the old rows go once
        // control has left them.
        m_rows.clear();
        while (QLayoutItem* item = m_leftoverColumn->takeAt(0)) {
            if (QWidget* w = item->widget()) {
                w->hide();
                w->deleteLater();
            }
            delete item;
        }
        using namespace QKLayout;
        QWidget* card = m_leftoverCard;
        Box rows = QKLayout::items({});
        for (qsizetype i = 0; i < items.size(); ++i) {
            const LeftoverItem& item = items.at(i);
            if (i > 0)
                rows.add(part(new QKHairline(card, 0.07)));
            auto* row = new TamsoExplainRow(item.fileName(), formatBytes(item.sizeBytes),
                                            UninstallerText::leftoverDetail(item), card);
            row->setObjectName(QStringLiteral("leftoverRow"));
            row->setProperty("leftoverId", item.id);
            row->setMeta(UninstallerText::leftoverMeta(item.confidence));
            row->setSafety(UninstallerText::leftoverSafety(item.confidence));
            row->setSelected(item.selected);
            const QUuid id = item.id;
            // The written value is not looked at: each click flips the service's flag.
            connect(row, &TamsoExplainRow::selectedChanged, this, [this, id](bool) {
                if (m_uninstaller)
                    m_uninstaller->toggleLeftover(id);
            });
            rows.add(part(row));
            m_rows.append(row);
        }
        rows.fill(m_leftoverColumn);
    }

    m_leftoverStack->showPhase(m_uninstaller->leftoversLoading() ? QKScanPhase::Busy
                               : items.isEmpty()                 ? QKScanPhase::Empty
                                                                 : QKScanPhase::Done);
    updateUninstallButton();
    updateConfirmTitle();
}

void UninstallerView::updateUninstallButton() {
    const std::optional<InstalledApp>& app = m_uninstaller->selectedApp();
    const qint64 appBytes = app ? app->appSizeBytes : 0;
    m_uninstall->setText(
        UninstallerText::uninstallButton(appBytes, m_uninstaller->selectedLeftoverBytes()));
    m_uninstall->setEnabled(!m_uninstaller->leftoversLoading());
}

void UninstallerView::updateConfirmTitle() {
    if (!m_uninstaller)
        return;
    const std::optional<InstalledApp>& app = m_uninstaller->selectedApp();
    int ticked = 0;
    for (const LeftoverItem& item : m_uninstaller->leftovers())
        ticked += item.selected ? 1 : 0;
    m_confirmTitle = UninstallerText::confirmTitle(
        app ? std::optional<QString>(app->name) : std::nullopt, ticked);
    m_confirm->setTitle(m_confirmTitle);
}

void UninstallerView::runUninstall() {
    if (!m_uninstaller)
        return;
    // Taken now: the service clears the selection before it reports.
    const std::optional<InstalledApp>& app = m_uninstaller->selectedApp();
    const QString name = app ? app->name : QStringLiteral("app");
    // The result outlives this pane: it goes to the shared screen state, which lives for the run.
    QPointer<ScreenState> screen(&m_screen);
    m_uninstaller->uninstall([screen, name](const UninstallOutcome& outcome) {
        if (screen)
            screen->setUninstallResult(UninstallerText::resultText(outcome, name));
    });
}
