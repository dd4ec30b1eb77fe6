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
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/QKScanStatePages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using StateKind = SpotlightSearch::State::Kind;

DescribeFindPanel::DescribeFindPanel(ScreenState& screen, SpotlightSearch& finder,
                                     FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_finder(finder), m_revealer(revealer) {
    setObjectName(QStringLiteral("describeFindPanel"));
    auto* column = QKBuild::insetColumn(this, {14, 14, 14, 14}, 10);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(
        QKBuild::label(TamsoAIText::findTitle(), TextStyle::Headline, QKForeground::Primary, this),
        1);
    m_clear = QKBuild::button(TamsoAIText::clearButton(), true, this);
    m_clear->setObjectName(QStringLiteral("clearSearch"));
    connect(m_clear, &QPushButton::clicked, this, &DescribeFindPanel::clearSearch);
    header->addWidget(m_clear, 0, Qt::AlignTop);
    column->addLayout(header);

    QLabel* hint =
        QKBuild::label(TamsoAIText::findHint(), TextStyle::Caption, QKForeground::Secondary, this);
    hint->setObjectName(QStringLiteral("findHint"));
    column->addWidget(hint);

    auto* search = new QHBoxLayout;
    search->setSpacing(8);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setPlaceholderText(TamsoAIText::findPlaceholder());
    m_field->setAccessibleName(TamsoAIText::findPlaceholder());
    QKFont::apply(m_field, TextStyle::Body);
    search->addWidget(m_field, 1);
    m_find = QKBuild::button(TamsoAIText::findButton(), false, this);
    m_find->setObjectName(QStringLiteral("findButton"));
    search->addWidget(m_find);
    column->addLayout(search);

    m_partial = QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, this);
    m_partial->setObjectName(QStringLiteral("findPartial"));
    m_partial->hide();
    column->addWidget(m_partial);

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
    connect(m_hitDelegate, &QKStampDelegate::actionTriggered, this,
            [this](const QModelIndex& index, const QString& action) {
                if (!index.isValid())
                    return;
                QKReveal::reveal(m_revealer, index.data(SearchHitListModel::PathRole).toString(),
                                 m_list->viewport(), m_hitDelegate->actionRect(index, action));
            });
    m_results->setPage(QKScanPhase::Done, m_list);

    m_failed =
        new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                        QKFont{.style = TextStyle::Caption}, QKForeground::Orange, m_results);
    m_failed->setObjectName(QStringLiteral("findFailure"));
    auto* failedPage = new QWidget(m_results);
    auto* failedLayout = new QVBoxLayout(failedPage);
    failedLayout->setContentsMargins(0, 0, 0, 0);
    failedLayout->addWidget(m_failed);
    failedLayout->addStretch(1);
    m_results->setPage(QKScanPhase::Failed, failedPage);
    column->addWidget(m_results, 1);

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
    const bool partial = state.kind == StateKind::Done && state.partial;
    if (partial)
        m_partial->setText(TamsoAIText::partialSearch(!m_finder.results().isEmpty()));
    m_partial->setVisible(partial);
    if (state.kind == StateKind::Failed)
        m_failed->setText(state.message);
    QKScanPhase phase = QKScanStatePages::phaseOf(state.kind, m_finder.results().isEmpty());
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

QLabel* DescribeFindPanel::failureLabel() const {
    return m_failed->textLabel();
}
