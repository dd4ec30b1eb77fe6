#include "assistant/views/DescribeFindPanel.h"

#include "assistant/SpotlightSearch.h"
#include "assistant/TamsoAIText.h"
#include "platform/SymbolName.h"
#include "shell/ScreenState.h"
#include "ui-kit/QKBorderedButton.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKSpinner.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

using StateKind = SpotlightSearch::State::Kind;

namespace {

// One hit: the file's icon, its name over its folder (each on one line), and "Show".
QWidget* hitRow(const SearchHit& hit, FileRevealer* revealer, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("hitRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(8);
    auto* icon = new QLabel(row);
    static const QFileIconProvider provider;
    icon->setPixmap(provider.icon(QFileInfo(hit.path())).pixmap(24, 24));
    icon->setFixedSize(24, 24);
    layout->addWidget(icon, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto* name = new QKLineLabel(TamsoAIText::hitName(hit.url), row);
    name->setObjectName(QStringLiteral("hitName"));
    QKFont::apply(name, TextStyle::Body);
    texts->addWidget(name);
    auto* folder = new QKLineLabel(TamsoAIText::hitFolder(hit.url), row);
    folder->setObjectName(QStringLiteral("hitFolder"));
    QKFont::apply(folder, TextStyle::Caption2);
    QKForeground::apply(folder, QKForeground::Secondary);
    texts->addWidget(folder);
    layout->addLayout(texts, 1);

    auto* show = new QKBorderedButton(TamsoAIText::showButton(), row);
    show->setSmall(true);
    show->setObjectName(QStringLiteral("showHit"));
    QObject::connect(show, &QPushButton::clicked, row, [revealer, show, path = hit.path()] {
        QKReveal::reveal(revealer, path, show);
    });
    layout->addWidget(show, 0, Qt::AlignVCenter);
    return row;
}

} // namespace

DescribeFindPanel::DescribeFindPanel(ScreenState& screen, SpotlightSearch& finder,
                                     FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_finder(finder), m_revealer(revealer) {
    setObjectName(QStringLiteral("describeFindPanel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(10);

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

    m_results = new QStackedWidget(this);
    m_idle = new QWidget(m_results);
    m_results->addWidget(m_idle);

    m_searching = new QWidget(m_results);
    auto* searchingColumn = new QVBoxLayout(m_searching);
    searchingColumn->setContentsMargins(0, 8, 0, 8);
    auto* busy = new QHBoxLayout;
    searchingColumn->addLayout(busy);
    searchingColumn->addStretch(1);
    busy->addStretch(1);
    auto* spinner = new QKSpinner(m_searching);
    busy->addWidget(spinner);
    busy->addWidget(QKBuild::label(TamsoAIText::searching(), TextStyle::Callout,
                                   QKForeground::Secondary, m_searching, std::nullopt, false));
    busy->addStretch(1);
    m_results->addWidget(m_searching);

    m_empty = QKBuild::label(TamsoAIText::nothingMatched(), TextStyle::Caption,
                             QKForeground::Secondary, m_results);
    m_empty->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_results->addWidget(m_empty);

    m_list = new QScrollArea(m_results);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setWidgetResizable(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->viewport()->setAutoFillBackground(false);
    auto* listContent = new QWidget(m_list);
    listContent->setAutoFillBackground(false);
    m_rows = new QVBoxLayout(listContent);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(2);
    m_rows->addStretch(1);
    m_list->setWidget(listContent);
    m_results->addWidget(m_list);

    m_failed =
        new QKIconLabel("exclamationmark.triangle"_sym, QString(),
                        QKFont{.style = TextStyle::Caption}, QKForeground::Orange, m_results);
    m_failed->setObjectName(QStringLiteral("findFailure"));
    auto* failedPage = new QWidget(m_results);
    auto* failedLayout = new QVBoxLayout(failedPage);
    failedLayout->setContentsMargins(0, 0, 0, 0);
    failedLayout->addWidget(m_failed);
    failedLayout->addStretch(1);
    m_results->addWidget(failedPage);
    column->addWidget(m_results, 1);

    connect(m_field, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_screen.setTamsoSearch(text); });
    connect(m_field, &QLineEdit::returnPressed, this, &DescribeFindPanel::find);
    connect(m_find, &QPushButton::clicked, this, &DescribeFindPanel::find);
    connect(&m_screen, &ScreenState::tamsoSearchChanged, this, &DescribeFindPanel::syncField);
    connect(&m_finder, &SpotlightSearch::stateChanged, this, &DescribeFindPanel::syncState);
    connect(&m_finder, &SpotlightSearch::resultsChanged, this, &DescribeFindPanel::rebuildHits);
    connect(&m_finder, &SpotlightSearch::lastQueryChanged, this, &DescribeFindPanel::syncState);

    restoreSearch();
    syncField();
    rebuildHits();
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
    switch (state.kind) {
    case StateKind::Idle:
        m_results->setCurrentWidget(m_idle);
        break;
    case StateKind::Searching:
        m_results->setCurrentWidget(m_searching);
        break;
    case StateKind::Done:
        // A search cut short never claims that nothing matched: the notice says what it did.
        if (m_finder.results().isEmpty())
            m_results->setCurrentWidget(state.partial ? m_idle : static_cast<QWidget*>(m_empty));
        else
            m_results->setCurrentWidget(m_list);
        break;
    case StateKind::Failed:
        m_failed->setText(state.message);
        m_results->setCurrentWidget(m_failed->parentWidget());
        break;
    }
}

void DescribeFindPanel::rebuildHits() {
    while (m_rows->count() > 1) {
        QLayoutItem* item = m_rows->takeAt(0);
        delete item->widget();
        delete item;
    }
    QWidget* content = m_list->widget();
    int at = 0;
    for (const SearchHit& hit : m_finder.results())
        m_rows->insertWidget(at++, hitRow(hit, m_revealer, content));
    syncState();
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

QList<QPushButton*> DescribeFindPanel::showButtons() const {
    return m_list->widget()->findChildren<QPushButton*>(QStringLiteral("showHit"));
}
