#include "assistant/views/PendrelTimelineView.h"

#include "assistant/TimelineListModel.h"
#include "assistant/TimelineText.h"
#include "assistant/views/TimelineDelegate.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKPaint.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKSymbol.h"
#include "ui-kit/QKSymbolButton.h"

#include <functional>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

namespace {

constexpr int kAgeRefreshMs = 1000;

// The rounded field behind the search line: the primary colour at 5 %, continuous 8-point
// corners.
class SearchBackground : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = QKForeground::color(QKForeground::Primary, palette());
        fill.setAlphaF(0.05f);
        QKPaint::fillRounded(p, QRectF(rect()), 8, fill);
    }
};

// Shows or hides a part of the screen. A part neither shown nor hidden yet shows with the screen,
// so it is left alone: told to show, it would lay itself out then and there, before the screen
// has its width.
void showPart(QWidget* part, bool shown) {
    if (shown && !part->testAttribute(Qt::WA_WState_ExplicitShowHide))
        return;
    part->setVisible(shown);
}

QWidget* privacyCard(QWidget* parent) {
    auto* box = new QKGroupBox(QString(), 8, parent);
    box->setObjectName(QStringLiteral("privacyCard"));
    QKLayout::items({QKLayout::part(new QKIconLabel(
                         "lock.shield.fill"_sym, TimelineText::privacyTitle(),
                         QKFont{.style = TextStyle::Headline}, QKForeground::Green, box)),
                     QKLayout::part(QKBuild::label(TimelineText::privacyText(), TextStyle::Caption,
                                                   QKForeground::Secondary, box))})
        .fill(box->column());
    return box;
}

} // namespace

PendrelTimelineView::PendrelTimelineView(PendrelTimelineStore& timeline, QWidget* parent)
    : QWidget(parent), m_timeline(&timeline) {
    setObjectName(QStringLiteral("pendrelTimelineView"));
    setWindowTitle(TimelineText::windowTitle());
    QVBoxLayout* page = nullptr;
    QKBuild::introPage(page, this, TimelineText::intro());
    QWidget* content = page->parentWidget();
    using namespace QKLayout;
    // The held-saves note, the search line, the empty state (24 points above and below, across
    // the full width) or the list, its footer, and the privacy card.
    column({
               part(m_heldNote = QKBuild::label(TimelineText::savesHeldNote(), TextStyle::Caption,
                                                QKForeground::Orange, content))
                   .name(QStringLiteral("savesHeldNote")),
               buildSearchLine(content),
               part(m_emptyBox = new QWidget(content))
                   .holding(column(
                       {0, 24, 0, 24}, -1,
                       {part(m_empty = new QKEmptyState(
                                 TimelineText::emptyTitle(QString()), "clock.arrow.circlepath"_sym,
                                 TimelineText::emptyMessage(QString()), m_emptyBox))
                            .name(QStringLiteral("timelineEmpty"))
                            .with([](QWidget* w) {
                                w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
                            })})),
               part(m_list = buildList(timeline, content)).name(QStringLiteral("timelineList")),
               part(m_footer = new QWidget(content))
                   .name(QStringLiteral("timelineFooter"))
                   .holding(row({0, 0, 0, 0}, -1,
                                {
                                    part(m_clearUnpinned = QKBuild::button(
                                             TimelineText::clearUnpinnedButton(), false, m_footer))
                                        .name(QStringLiteral("clearUnpinned")),
                                    stretch(1),
                                    part(m_count = QKBuild::label(QString(), TextStyle::Caption,
                                                                  QKForeground::Secondary, m_footer,
                                                                  std::nullopt, false))
                                        .name(QStringLiteral("entryCount")),
                                })),
               privacyCard(content),
           })
        .fillPage(page);
    follow(timeline);
    m_heldNote->setVisible(timeline.savesHeld());
    syncSearchField();
    syncCounts();
    syncList();
}

QWidget* PendrelTimelineView::buildSearchLine(QWidget* parent) {
    auto* searchLine = new SearchBackground(parent);
    using namespace QKLayout;
    row({10, 10, 10, 10}, 10,
        {
            part(new QKSymbol("magnifyingglass"_sym, QKFont{.style = TextStyle::Body},
                              QKForeground::Secondary, searchLine))
                .align(Qt::AlignVCenter),
            part(m_search = searchField(searchLine))
                .name(QStringLiteral("timelineSearch"))
                .font(TextStyle::Body)
                .stretch(1),
            part(m_clearSearch =
                     new QKSymbolButton("xmark.circle.fill"_sym, QKForeground::Secondary,
                                        QKFont{.style = TextStyle::Body}, searchLine))
                .name(QStringLiteral("clearSearch"))
                .accessibleName(TimelineText::clearSearchName())
                .with([](QWidget* w) { w->setToolTip(TimelineText::clearSearchTooltip()); })
                .align(Qt::AlignVCenter),
        })
        .on(searchLine);
    return searchLine;
}

QLineEdit* PendrelTimelineView::searchField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setPlaceholderText(TimelineText::searchPlaceholder());
    field->setAccessibleName(TimelineText::searchPlaceholder());
    field->setFrame(false);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    field->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    return field;
}

QKGroupBox* PendrelTimelineView::buildList(PendrelTimelineStore& timeline, QWidget* parent) {
    auto* box = new QKGroupBox(TimelineText::listTitle(), 0, parent);
    m_model = new TimelineListModel(timeline, this);
    m_rows = new QKRowList(QKRowList::Height::Fitted, box->card());
    m_rows->setObjectName(QStringLiteral("timelineRows"));
    m_rows->setAccessibleName(TimelineText::listTitle());
    // Answers run to a thousand characters: only the rows on screen are measured as it opens.
    m_rows->setEstimatesOutOfSight(true);
    m_delegate = new TimelineDelegate(m_rows);
    m_rows->setItemDelegate(m_delegate);
    m_rows->setModel(m_model);
    QKLayout::items({QKLayout::part(m_rows)}).fill(box->column());
    return box;
}

void PendrelTimelineView::follow(PendrelTimelineStore& timeline) {
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_timeline)
            m_timeline->setSearchText(text);
    });
    connect(m_clearSearch, &QKSymbolButton::clicked, this, [this] {
        if (m_timeline)
            m_timeline->setSearchText(QString());
    });
    connect(m_clearUnpinned, &QPushButton::clicked, this, [this] {
        if (m_timeline)
            m_timeline->clearUnpinned();
    });
    connect(m_delegate, &TimelineDelegate::actionTriggered, this, [this](const QModelIndex& index) {
        if (m_timeline && index.isValid())
            m_timeline->togglePin(index.data(TimelineListModel::IdRole).toUuid());
    });
    // The model follows the store first (it was connected first); the screen's parts then.
    connect(&timeline, &PendrelTimelineStore::entriesChanged, this, [this] {
        syncCounts();
        syncList();
    });
    connect(&timeline, &PendrelTimelineStore::searchTextChanged, this, [this] {
        syncSearchField();
        syncList();
    });
    connect(&timeline, &PendrelTimelineStore::savesHeldChanged, m_heldNote, &QWidget::setVisible);
}

void PendrelTimelineView::syncSearchField() {
    const QString text = m_timeline ? m_timeline->searchText() : QString();
    if (m_search->text() != text)
        m_search->setText(text);
    m_clearSearch->setVisible(!text.isEmpty());
}

void PendrelTimelineView::syncCounts() {
    if (!m_timeline)
        return;
    const QList<TimelineEntry>& all = m_timeline->entries();
    m_footerWanted = TimelineText::showsFooter(all);
    m_count->setText(TimelineText::entryCount(all.size()));
}

void PendrelTimelineView::syncList() {
    if (!m_timeline)
        return;
    const bool empty = m_model->rowCount() == 0;
    const QString search = m_timeline->searchText();
    m_empty->setTitle(TimelineText::emptyTitle(search));
    m_empty->setMessage(TimelineText::emptyMessage(search));
    showPart(m_emptyBox, empty);
    showPart(m_list, !empty);
    showPart(m_footer, !empty && m_footerWanted);
}

void PendrelTimelineView::refreshAges(const QDateTime& now) {
    // The list is as tall as its rows, in a scrolling page: the rows on screen are those under the
    // part of its viewport the page shows.
    const QRect seen =
        m_rows->isVisible() ? m_rows->viewport()->visibleRegion().boundingRect() : QRect();
    if (seen.isEmpty()) {
        m_model->setNow(now, 0, -1);
        return;
    }
    // The rows lie top to bottom: the first whose bottom reaches the part shown, and the last
    // whose top lies in it (a row not laid out yet has no rectangle, and is drawn afresh).
    const auto firstBelow = [this](const std::function<bool(const QRect&)>& below) {
        int low = 0;
        int high = m_model->rowCount();
        while (low < high) {
            const int mid = (low + high) / 2;
            const QRect row = m_rows->visualRect(m_model->index(mid));
            if (!row.isEmpty() && !below(row))
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    };
    const int first = firstBelow([&](const QRect& row) { return row.bottom() >= seen.top(); });
    const int end = firstBelow([&](const QRect& row) { return row.top() > seen.bottom(); });
    m_model->setNow(now, first, end - 1);
}

void PendrelTimelineView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Every row is drawn afresh as the screen shows: none needs reporting.
    m_model->setNow(QDateTime::currentDateTimeUtc(), 0, -1);
    if (!m_ageTimer)
        m_ageTimer = startTimer(kAgeRefreshMs);
}

void PendrelTimelineView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_ageTimer) {
        killTimer(m_ageTimer);
        m_ageTimer = 0;
    }
}

void PendrelTimelineView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_ageTimer)
        refreshAges(QDateTime::currentDateTimeUtc());
    else
        QWidget::timerEvent(event);
}
