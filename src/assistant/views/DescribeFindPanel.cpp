#include "assistant/views/DescribeFindPanel.h"

#include "assistant/SearchHitListModel.h"
#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoAIText.h"
#include "assistant/views/SearchHitDelegate.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKScanStatePages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DescribeFindPanel::DescribeFindPanel(ScreenState& screen, SpotlightSearch& finder,
                                     FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_finder(finder), m_revealer(revealer) {
    setObjectName(QStringLiteral("describeFindPanel"));
    using namespace QKLayout;
    column({14, 14, 14, 14}, 10,
           {row(8, {part(QKBuild::label(TamsoAIText::findTitle(), TextStyle::Headline,
                                        QKForeground::Primary, this))
                        .stretch(1),
                    part(m_clear = QKBuild::button(TamsoAIText::clearButton(), true, this))
                        .name(QStringLiteral("clearSearch"))
                        .align(Qt::AlignTop)}),
            part(QKBuild::label(TamsoAIText::findHint(), TextStyle::Caption,
                                QKForeground::Secondary, this))
                .name(QStringLiteral("findHint")),
            row(8, {part(m_field = new QLineEdit(this))
                        .name(QStringLiteral("findField"))
                        .with([](QLineEdit* field) {
                            field->setPlaceholderText(TamsoAIText::findPlaceholder());
                        })
                        .accessibleName(TamsoAIText::findPlaceholder())
                        .font(TextStyle::Body)
                        .stretch(1),
                    part(m_find = QKBuild::button(TamsoAIText::findButton(), false, this))
                        .name(QStringLiteral("findButton"))}),
            part(m_partial =
                     QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, this))
                .name(QStringLiteral("findPartial"))
                .with([](QLabel* l) { l->hide(); }),
            part(buildResults()).stretch(1)})
        .on(this);

    connect(m_clear, &QPushButton::clicked, this, &DescribeFindPanel::clearSearch);
    connect(m_hitDelegate, &QKStampDelegate::actionTriggered, this,
            [this](const QModelIndex& index, const QString& action) {
                if (!index.isValid())
                    return;
                QKReveal::reveal(m_revealer, index.data(SearchHitListModel::PathRole).toString(),
                                 m_list->viewport(), m_hitDelegate->actionRect(index, action));
            });
    connect(m_field, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_screen.setTamsoSearch(text); });
    connect(m_field, &QLineEdit::returnPressed, this, &DescribeFindPanel::find);
    connect(m_find, &QPushButton::clicked, this, &DescribeFindPanel::find);
    connect(&m_screen, &ScreenState::tamsoSearchChanged, this, &DescribeFindPanel::syncField);
    connect(&m_finder, &SpotlightSearch::stateChanged, this, &DescribeFindPanel::syncState);
    // The hit list follows the search by itself (it was connected first); the page follows it.
    connect(&m_finder, &SpotlightSearch::resultsChanged, this, &DescribeFindPanel::syncState);
    connect(&m_finder, &SpotlightSearch::lastQueryChanged, this, &DescribeFindPanel::syncState);

    restoreSearch();
    syncField();
    syncState();
}

// The results under the search, one page per state of the search.
QKScanStatePages* DescribeFindPanel::buildResults() {
    m_results = new QKScanStatePages(this);
    m_idle = m_results->setPage(QKScanPhase::Idle, new QWidget(m_results));
    m_searching = m_results->setPage(
        QKScanPhase::Busy,
        new QKBusyPage(TamsoAIText::searching(),
                       {.beside = true, .top = true, .margins = QMargins(0, 8, 0, 8)}, m_results));

    m_empty = QKBuild::label(TamsoAIText::nothingMatched(), TextStyle::Caption,
                             QKForeground::Secondary, m_results);
    m_empty->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_results->setPage(QKScanPhase::Empty, m_empty);

    m_hits = new SearchHitListModel(m_finder, this);
    m_list = new QKRowList(QKRowList::Height::Scrolls, m_results);
    m_list->setObjectName(QStringLiteral("hitList"));
    m_list->setAccessibleName(TamsoAIText::findTitle());
    m_hitDelegate = new SearchHitDelegate(m_list);
    m_list->setItemDelegate(m_hitDelegate);
    m_list->setModel(m_hits);
    m_results->setPage(QKScanPhase::Done, m_list);

    using namespace QKLayout;
    QWidget* failedPage = nullptr;
    part(failedPage = new QWidget(m_results))
        .holding(column(QMargins(),
                        {part(m_failed = new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                                                         QKFont{.style = TextStyle::Caption},
                                                         QKForeground::Orange, m_results))
                             .name(QStringLiteral("findFailure")),
                         stretch(1)}));
    m_results->setPage(QKScanPhase::Failed, failedPage);
    return m_results;
}

void DescribeFindPanel::find() {
    m_finder.search(m_screen.tamsoSearch());
}

void DescribeFindPanel::clearSearch() {
    m_finder.clear();
    m_screen.setTamsoSearch(QString());
}

void DescribeFindPanel::runSearch(const QString& text) {
    m_screen.setTamsoSearch(text);
    m_finder.search(text);
}

void DescribeFindPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    restoreSearch();
}

void DescribeFindPanel::restoreSearch() {
    if (m_screen.tamsoSearch().isEmpty())
        m_screen.setTamsoSearch(m_finder.lastQuery());
}

void DescribeFindPanel::syncField() {
    const QString text = m_screen.tamsoSearch();
    if (m_field->text() != text) {
        m_field->setText(text);
        m_field->setCursorPosition(0); // a text set from elsewhere shows its start
    }
    m_find->setEnabled(TamsoAIText::canFind(text));
}

void DescribeFindPanel::syncState() {
    const SpotlightSearch::State state = m_finder.state();
    m_clear->setVisible(
        TamsoAIText::showsClear(!m_finder.results().isEmpty(), m_finder.lastQuery()));
    const bool partial = state.phase == ScanPhase::Done && m_finder.partial();
    if (partial)
        m_partial->setText(TamsoAIText::partialSearch(!m_finder.results().isEmpty()));
    m_partial->setVisible(partial);
    if (state.phase == ScanPhase::Failed)
        m_failed->setText(state.failure);
    QKScanPhase phase = QKScanStatePages::phaseOf(state.phase, m_finder.results().isEmpty());
    // A search cut short never claims that nothing matched: the notice says what it did.
    if (partial && phase == QKScanPhase::Empty)
        phase = QKScanPhase::Idle;
    m_results->showPhase(phase);
}

QString DescribeFindPanel::resultsPage() const {
    QWidget* current = m_results->currentWidget();
    if (current == m_searching)
        return QStringLiteral("searching");
    if (current == m_empty)
        return QStringLiteral("empty");
    if (current == m_list)
        return QStringLiteral("results");
    if (current == m_failed->parentWidget())
        return QStringLiteral("failed");
    return QStringLiteral("idle");
}
