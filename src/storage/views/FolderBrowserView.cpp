#include "storage/views/FolderBrowserView.h"

#include "platform/ByteFormat.h"
#include "shell/ScreenState.h"
#include "storage/FolderBrowserText.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderIcons.h"
#include "storage/views/FolderRowDelegate.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"
#include "ui-kit/QKTurn.h"

#include <algorithm>
#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>

namespace {

// The property of a trail button that holds its folder's whole name, whatever the button shows.
constexpr char kWholeName[] = "wholeName";
// Between the trail's parts.
constexpr int kTrailSpacing = 4;

// A trail button: accent text while it leads somewhere, plain text for where the user is.
QPushButton* linkButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 2px 2px; }"));
    QKFont::apply(button, TextStyle::Callout);
    return button;
}

void setLinkEnabled(QPushButton* button, bool enabled) {
    button->setEnabled(enabled);
    QKForeground::apply(button, enabled ? QKForeground::Tint : QKForeground::Primary);
}

std::optional<FolderEntry> entryAt(const QModelIndex& index) {
    const QVariant value = index.data(FolderEntryModel::EntryRole);
    if (!value.canConvert<FolderEntry>())
        return std::nullopt;
    return value.value<FolderEntry>();
}

// The widest a name may be for all of `widths` to share `room`: the narrowest stay whole one after
// another while each fits its share of what those before it left; all whole, the widest.
int waterLevel(QList<int> widths, int room) {
    std::sort(widths.begin(), widths.end());
    for (qsizetype i = 0; i < widths.size(); ++i) {
        const int share = room / int(widths.size() - i);
        if (widths.at(i) > share)
            return share;
        room -= widths.at(i);
    }
    return widths.isEmpty() ? 0 : widths.constLast();
}

} // namespace

FolderBrowserView::FolderBrowserView(FolderTree& tree, ScreenState& screen, FileRevealer* revealer,
                                     QWidget* parent)
    : QWidget(parent), m_tree(&tree), m_screen(&screen), m_revealer(revealer) {
    setObjectName(QStringLiteral("folderBrowser"));
    FolderIcons::warmUp();
    setMinimumWidth(380);
    QKLayout::flushColumn({
                              buildToolbar(),
                              new QKHairline(this),
                              QKLayout::part(buildBody()).stretch(1),
                              new QKHairline(this),
                              buildStatus(),
                          })
        .on(this);

    // The selection, not the current index: Qt moves the current index by itself (when the list
    // takes the focus, when rows go), but selects only on the user's clicks and keys.
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncing || !m_screen)
            return;
        const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
        const std::optional<FolderEntry> entry =
            selected.isEmpty() ? std::nullopt : entryAt(selected.constFirst());
        m_screen->setFolderSelection(entry ? std::optional(entry->id) : std::nullopt);
    });
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (const std::optional<FolderEntry> entry = entryAt(index))
            activate(*entry);
    });
    connect(m_list, &QWidget::customContextMenuRequested, this,
            &FolderBrowserView::showContextMenu);

    m_turn = new QKTurn(m_list->viewport(), QKSpinner::spokes, 80);
    connect(m_turn, &QKTurn::turned, this, [this](int step) { m_delegate->setSpinnerStep(step); });

    connect(&tree, &FolderTree::trailChanged, this, &FolderBrowserView::rebuildTrail);
    connect(&tree, &FolderTree::entriesChanged, this, &FolderBrowserView::refresh);
    connect(&tree, &FolderTree::listingChanged, this, &FolderBrowserView::refresh);
    connect(&tree, &FolderTree::errorChanged, this, &FolderBrowserView::refresh);
    connect(&tree, &FolderTree::measuringCountChanged, this, &FolderBrowserView::refreshStatus);
    connect(&tree, &FolderTree::sortOrderChanged, this, [this](FolderSortOrder order) {
        m_sort->setCurrentIndex(int(allCases<FolderSortOrder>().indexOf(order)));
    });
    connect(tree.model(), &QAbstractItemModel::modelReset, this,
            &FolderBrowserView::syncSelectionToView);
    connect(&screen, &ScreenState::folderSelectionChanged, this,
            &FolderBrowserView::syncSelectionToView);
    rebuildTrail();
    refresh();
    syncSelectionToView();
}

void FolderBrowserView::showContextMenu(const QPoint& at) {
    const std::optional<FolderEntry> entry = entryAt(m_list->indexAt(at));
    if (!entry)
        return;
    QMenu menu(this);
    if (entry->isFolder())
        menu.addAction(FolderBrowserText::openInApp(), this, [this, e = *entry] { activate(e); });
    menu.addAction(FolderBrowserText::reveal(), this, [this, e = *entry] { reveal(e); });
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

bool FolderBrowserView::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_trailView->viewport() && event->type() == QEvent::Resize) ||
        (watched != m_list && event->type() == QEvent::LayoutRequest))
        fitTrail();
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        handleListKey(*static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool FolderBrowserView::handleListKey(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const bool confirm = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!confirm && key.key() != Qt::Key_Space)
        return false;
    const QModelIndex current = m_list->currentIndex();
    const std::optional<FolderEntry> entry = entryAt(current);
    // Taken even without a current row: the view's own handling would select or activate by
    // rules of its own.
    if (!entry || key.isAutoRepeat())
        return true;
    if (confirm) {
        activate(*entry);
    } else if (m_list->selectionModel()->isSelected(current)) {
        // Clearing the selection drops the current row too; the keys stay where they were.
        const QPersistentModelIndex keep(current);
        clearSelection();
        m_list->selectionModel()->setCurrentIndex(keep, QItemSelectionModel::NoUpdate);
    } else {
        m_list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
    return true;
}

QWidget* FolderBrowserView::buildBody() {
    m_body = new QKScanStatePages(this);
    auto* failed = new QKEmptyState(FolderBrowserText::failedTitle(), QStringLiteral("lock.slash"),
                                    QString(), m_body);
    failed->setObjectName(QStringLiteral("folderBrowserFailed"));
    auto* again = new QKProminentButton(FolderBrowserText::tryAgain(), failed);
    again->setObjectName(QStringLiteral("folderBrowserTryAgain"));
    connect(again, &QPushButton::clicked, this, &FolderBrowserView::tryAgain);
    failed->addActionWidget(again);

    auto* opening =
        new QKBusyPage(FolderBrowserText::opening(), {.wrap = true, .spacing = 8}, m_body);
    opening->setObjectName(QStringLiteral("folderBrowserOpening"));

    auto* empty = new QKEmptyState(FolderBrowserText::emptyTitle(), QStringLiteral("folder"),
                                   FolderBrowserText::emptyMessage(), m_body);
    empty->setObjectName(QStringLiteral("folderBrowserEmpty"));

    m_list = new QListView(m_body);
    m_list->setObjectName(QStringLiteral("folderBrowserList"));
    m_list->setAccessibleName(FolderBrowserText::listName());
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setMouseTracking(true);
    m_list->installEventFilter(this);
    m_delegate = new FolderRowDelegate(m_list);
    m_list->setItemDelegate(m_delegate);
    m_list->setModel(m_tree->model());

    m_body->setPage(QKScanPhase::Failed, failed);
    m_body->setPage(QKScanPhase::Busy, opening);
    m_body->setPage(QKScanPhase::Empty, empty);
    m_body->setPage(QKScanPhase::Done, m_list);
    return m_body;
}

QWidget* FolderBrowserView::buildToolbar() {
    using namespace QKLayout;
    auto* bar = new QWidget(this);
    QKSymbolButton* again = nullptr;
    row({12, 8, 12, 8}, 8,
        {part(m_back = new QKSymbolButton(QStringLiteral("chevron.left"), QKForeground::Primary,
                                          QKFont{.style = TextStyle::Body}, bar))
             .name(QStringLiteral("folderBrowserBack"))
             .with([](QKSymbolButton* b) { b->setToolTip(FolderBrowserText::backTip()); }),
         part(buildTrail(bar)).stretch(1), space(12),
         part(m_sort = new QComboBox(bar))
             .name(QStringLiteral("folderBrowserSort"))
             .with([](QComboBox* sort) {
                 for (FolderSortOrder order : allCases<FolderSortOrder>())
                     sort->addItem(FolderBrowserText::sortTitle(order), rawValue(order));
                 sort->setFixedWidth(150);
             }),
         part(again = new QKSymbolButton(QStringLiteral("arrow.clockwise"), QKForeground::Primary,
                                         QKFont{.style = TextStyle::Body}, bar))
             .name(QStringLiteral("folderBrowserRemeasure"))
             .with([](QKSymbolButton* b) { b->setToolTip(FolderBrowserText::remeasureTip()); })})
        .on(bar);
    connect(m_back, &QAbstractButton::clicked, this, &FolderBrowserView::goBack);
    m_sort->setCurrentIndex(int(allCases<FolderSortOrder>().indexOf(m_tree->sortOrder())));
    connect(m_sort, &QComboBox::activated, this, [this](int i) {
        if (m_tree && i >= 0 && i < allCases<FolderSortOrder>().size())
            m_tree->setSortOrder(allCases<FolderSortOrder>().at(i));
    });
    connect(again, &QAbstractButton::clicked, this, &FolderBrowserView::remeasure);
    return bar;
}

QScrollArea* FolderBrowserView::buildTrail(QWidget* bar) {
    using namespace QKLayout;
    // The trail never scrolls: its names share the room (fitTrail). The area only keeps the
    // trail's width from reaching the toolbar's, and is no Tab stop of its own: its buttons are.
    // A reader meets it as the group of those buttons, so it is named for what they spell out.
    m_trailView = QKBuild::plainScroll(new QScrollArea(bar));
    m_trailView->setObjectName(QStringLiteral("folderBrowserPath"));
    m_trailView->setAccessibleName(FolderBrowserText::trailName());
    m_trailView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_trailView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_trailView->setFocusPolicy(Qt::NoFocus);
    auto* trail = new QWidget(m_trailView);
    row({0, 0, 0, 0}, kTrailSpacing,
        {part(m_home = linkButton(FolderBrowserText::homeButton(), trail))
             .name(QStringLiteral("folderBrowserHome")),
         // The folders entered, after "Home": rebuilt whenever the trail changes.
         part(m_crumbs = new QWidget(trail)).with([](QWidget* crumbs) { crumbs->hide(); }),
         stretch(1)})
        .on(trail);
    connect(m_home, &QPushButton::clicked, this, &FolderBrowserView::goHome);
    m_trailView->setWidget(trail);
    trail->setAutoFillBackground(false); // setWidget turns it on; the toolbar shows through
    m_trailView->setMinimumHeight(trail->sizeHint().height());
    // A new width, or a new text size, cuts the names anew.
    for (QWidget* w : {m_trailView->viewport(), trail, m_crumbs})
        w->installEventFilter(this);
    return m_trailView;
}

QWidget* FolderBrowserView::buildStatus() {
    using namespace QKLayout;
    auto* bar = new QWidget(this);
    row({12, 6, 12, 6}, 6,
        {part(m_statusSpinner = new QKSpinner(bar)).font(TextStyle::Caption),
         part(m_status = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, bar,
                                        std::nullopt, false))
             .name(QStringLiteral("folderBrowserStatus")),
         stretch(1),
         part(m_total = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, bar,
                                       std::nullopt, false))
             .name(QStringLiteral("folderBrowserTotal"))})
        .on(bar);
    return bar;
}

void FolderBrowserView::rebuildTrail() {
    for (QWidget* part : std::as_const(m_trailParts))
        delete part;
    m_trailParts.clear();
    if (!m_tree)
        return;
    const QStringList& trail = m_tree->trail();
    setLinkEnabled(m_home, !trail.isEmpty());
    m_back->setEnabled(!trail.isEmpty());
    delete m_crumbs->layout();
    QKLayout::Box crumbs = QKLayout::row({0, 0, 0, 0}, kTrailSpacing, {});
    for (int i = 0; i < trail.size(); ++i) {
        auto* chevron =
            new QKSymbol(QStringLiteral("chevron.right"), QKFont{.style = TextStyle::Caption2},
                         QKForeground::Tertiary, m_crumbs);
        const QString name = QFileInfo(trail.at(i)).fileName();
        QPushButton* button = linkButton(name, m_crumbs);
        button->setObjectName(QStringLiteral("folderBrowserTrail%1").arg(i));
        button->setAccessibleName(name);
        button->setProperty(kWholeName, name);
        setLinkEnabled(button, i + 1 < trail.size());
        connect(button, &QPushButton::clicked, this, [this, i] { jumpTo(i); });
        crumbs.add(chevron).add(button);
        m_trailParts << chevron << button;
    }
    crumbs.on(m_crumbs);
    m_crumbs->setVisible(!trail.isEmpty());
    fitTrail();
}

void FolderBrowserView::fitTrail() {
    // The names share what Home and the chevrons leave: each name whole while all fit, else every
    // name wider than a common cap is cut to it with "…" (so short names stay whole and the cut
    // falls on the long ones). A cut name gives its whole self as its tooltip and accessible
    // description; its accessible name is always whole.
    QList<QPushButton*> names;
    const QList<QWidget*> parts = QList<QWidget*>{m_home} + m_trailParts;
    int room = m_trailView->viewport()->width() -
               int(std::max<qsizetype>(0, parts.size() - 1)) * kTrailSpacing;
    for (QWidget* w : parts) {
        auto* button = qobject_cast<QPushButton*>(w);
        if (button && button->property(kWholeName).isValid()) {
            names << button;
            // What the button adds around its text: its padding and the style's margins.
            room -= button->sizeHint().width() -
                    button->fontMetrics().horizontalAdvance(button->text());
        } else {
            room -= w->sizeHint().width();
        }
    }
    if (names.isEmpty())
        return;
    const QFontMetrics fm = names.constFirst()->fontMetrics();
    QList<int> wanted;
    for (QPushButton* button : std::as_const(names))
        wanted << fm.horizontalAdvance(button->property(kWholeName).toString());
    // Cut to less than a few letters, a name says nothing: then the outermost names fold to "…"
    // one by one, leaving their room to the inner ones, down to the folder the user is in.
    const int ellipsis = fm.horizontalAdvance(QChar(0x2026));
    const int readable = 4 * fm.averageCharWidth() + ellipsis;
    qsizetype folded = 0;
    int cap = waterLevel(wanted, std::max(0, room));
    while (cap < readable && folded + 1 < names.size()) {
        ++folded;
        cap = waterLevel(wanted.mid(folded), std::max(0, room - int(folded) * ellipsis));
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        QPushButton* button = names.at(i);
        const QString whole = button->property(kWholeName).toString();
        const QString text = i < folded ? QString(QChar(0x2026))
                             : wanted.at(i) <= cap
                                 ? whole
                                 : fm.elidedText(whole, Qt::ElideRight, std::max(cap, ellipsis));
        const QString offered = text == whole ? QString() : whole;
        if (button->text() != text)
            button->setText(text);
        button->setToolTip(offered);
        button->setAccessibleDescription(offered);
    }
}

void FolderBrowserView::refresh() {
    if (!m_tree)
        return;
    const std::optional<QString> error = m_tree->error();
    m_body->showPhase(error                         ? QKScanPhase::Failed
                      : m_tree->isListing()         ? QKScanPhase::Busy
                      : m_tree->entries().isEmpty() ? QKScanPhase::Empty
                                                    : QKScanPhase::Done,
                      error.value_or(QString()));
    if (m_delegate->largest() != m_tree->largestEntrySize()) {
        m_delegate->setLargest(m_tree->largestEntrySize());
        m_tree->model()->setLargest(m_tree->largestEntrySize());
        m_list->viewport()->update();
    }
    refreshStatus();
}

void FolderBrowserView::refreshStatus() {
    if (!m_tree)
        return;
    const bool measuring = m_tree->measuringCount() >= 1;
    m_statusSpinner->setVisible(measuring);
    m_status->setText(statusText());
    m_total->setText(totalText());
    m_turn->setWanted(measuring);
}

bool FolderBrowserView::rowsTurning() const {
    return m_turn->isTurning();
}

QString FolderBrowserView::statusText() const {
    if (!m_tree)
        return {};
    return m_tree->measuringCount() >= 1
               ? FolderBrowserText::measuringCount(m_tree->measuringCount())
               : FolderBrowserText::itemCount(m_tree->entries().size());
}

QString FolderBrowserView::totalText() const {
    return m_tree ? formatBytes(m_tree->totalMeasuredBytes()) : QString();
}

void FolderBrowserView::syncSelectionToView() {
    if (!m_tree || !m_screen)
        return;
    m_syncing = true;
    const std::optional<QString>& id = m_screen->folderSelection();
    const int row = id ? m_tree->model()->rowOf(*id) : -1;
    if (row < 0) {
        m_list->selectionModel()->clearSelection();
        m_list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const QModelIndex index = m_tree->model()->index(row);
        m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_list->scrollTo(index);
    }
    m_syncing = false;
}

void FolderBrowserView::clearSelection() {
    if (m_screen)
        m_screen->setFolderSelection(std::nullopt);
}

void FolderBrowserView::activate(const FolderEntry& entry) {
    if (entry.isFolder()) {
        if (m_tree)
            m_tree->enter(entry);
        clearSelection();
    } else {
        reveal(entry);
    }
}

void FolderBrowserView::reveal(const FolderEntry& entry) {
    // The note of a failed reveal points at the entry's row while it is in the list.
    QRect row;
    for (int i = 0; m_list->model() && i < m_list->model()->rowCount(); ++i) {
        const QModelIndex index = m_list->model()->index(i, 0);
        if (const std::optional<FolderEntry> e = entryAt(index); e && e->id == entry.id) {
            row = m_list->visualRect(index).intersected(m_list->viewport()->rect());
            break;
        }
    }
    QKReveal::reveal(m_revealer, entry.path, m_list->viewport(), row);
}

void FolderBrowserView::goBack() {
    if (!m_tree)
        return;
    m_tree->goUp();
    clearSelection();
}

void FolderBrowserView::goHome() {
    if (!m_tree)
        return;
    m_tree->setTrail({});
    m_tree->open(m_tree->currentFolder());
    clearSelection();
}

void FolderBrowserView::jumpTo(int trailIndex) {
    if (!m_tree)
        return;
    m_tree->jumpToTrail(trailIndex);
    clearSelection();
}

void FolderBrowserView::remeasure() {
    if (!m_tree)
        return;
    m_tree->clearSizeCache();
    m_tree->open(m_tree->currentFolder());
    clearSelection();
}

void FolderBrowserView::tryAgain() {
    if (!m_tree)
        return;
    m_tree->clearSizeCache();
    m_tree->open(m_tree->currentFolder());
}

QStringList FolderBrowserView::menuActions(const FolderEntry& entry) const {
    QStringList actions;
    if (entry.isFolder())
        actions << FolderBrowserText::openInApp();
    actions << FolderBrowserText::reveal();
    return actions;
}
