#include "assistant/views/TamsoMemoryView.h"

#include "assistant/TamsoMemory.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// One observation: its symbol in the tint in a 24-point column, the label over the detail.
QWidget* observationRow(const TamsoMemory::Observation& o, QWidget* parent) {
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("observation-") + o.id);
    auto* layout = QKBuild::insetRow(row, {0, 6, 0, 6}, 12);
    auto* cell = new QWidget(row);
    cell->setFixedWidth(24);
    auto* cellLayout = new QVBoxLayout(cell);
    cellLayout->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QKSymbol(o.icon, QKFont{.style = TextStyle::Body}, QKForeground::Tint, cell);
    cellLayout->addWidget(symbol, 0, Qt::AlignCenter);
    layout->addWidget(cell, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    QLabel* label =
        QKBuild::label(o.label, TextStyle::Callout, QKForeground::Primary, row, QFont::DemiBold);
    label->setObjectName(QStringLiteral("observationLabel"));
    texts->addWidget(label);
    QLabel* detail = QKBuild::label(o.detail, TextStyle::Caption, QKForeground::Secondary, row);
    detail->setObjectName(QStringLiteral("observationDetail"));
    texts->addWidget(detail);
    layout->addLayout(texts, 1);
    return row;
}

QWidget* privacyCard(QWidget* parent) {
    auto* box = new QKGroupBox(QString(), 8, parent);
    box->setObjectName(QStringLiteral("privacyCard"));
    box->column()->addWidget(
        new QKIconLabel("lock.shield.fill"_sym, QStringLiteral("Private by design"),
                        QKFont{.style = TextStyle::Headline}, QKForeground::Green, box));
    box->column()->addWidget(QKBuild::label(
        QStringLiteral("Everything Pendrel learns stays on this Mac. Nothing is sent to a server. "
                       "Ask Explain My Mac builds on your Timeline — pin answers you want it to "
                       "remember."),
        TextStyle::Caption, QKForeground::Secondary, box));
    return box;
}

} // namespace

TamsoMemoryView::TamsoMemoryView(TamsoMemory& memory, QWidget* parent)
    : QWidget(parent), m_memory(&memory) {
    setObjectName(QStringLiteral("tamsoMemoryView"));
    setWindowTitle(QStringLiteral("Pendrel Memory"));

    QVBoxLayout* column = nullptr;
    QKBuild::introPage(column, this,
                       QStringLiteral("Pendrel remembers how you use your Mac so advice fits "
                                      "you, not a generic checklist."));
    QWidget* content = column->parentWidget();

    m_box = new QKGroupBox(QStringLiteral("What Pendrel knows"), 0, content);
    m_box->setObjectName(QStringLiteral("knowledgeBox"));
    m_learning = new QWidget(m_box->card());
    m_learning->setObjectName(QStringLiteral("learningLine"));
    auto* learningRow = QKBuild::insetRow(m_learning, {0, 4, 0, 4}, 8);
    auto* spinner = new QKSpinner(m_learning);
    QKFont::apply(spinner, TextStyle::Body);
    QKForeground::apply(spinner, QKForeground::Secondary);
    learningRow->addWidget(spinner, 0, Qt::AlignVCenter);
    learningRow->addWidget(QKBuild::label(QStringLiteral("Learning about your Mac…"),
                                          TextStyle::Body, QKForeground::Secondary, m_learning,
                                          std::nullopt, false));
    learningRow->addStretch(1);
    m_box->column()->addWidget(m_learning);
    QKBuild::addPart(column, m_box);

    QKBuild::addPart(column, privacyCard(content));

    auto* buttonLine = new QWidget(content);
    auto* buttonRow = new QHBoxLayout(buttonLine);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    m_refresh = QKBuild::button(QStringLiteral("Refresh"), false, buttonLine);
    m_refresh->setObjectName(QStringLiteral("refreshMemory"));
    buttonRow->addWidget(m_refresh);
    buttonRow->addStretch(1);
    QKBuild::addPart(column, buttonLine);

    connect(m_refresh, &QPushButton::clicked, this, &TamsoMemoryView::startRefresh);
    connect(&memory, &TamsoMemory::observationsChanged, this, &TamsoMemoryView::syncRows);
    syncRows();
}

void TamsoMemoryView::startRefresh() {
    if (m_memory)
        TamsoMemory::refresh(m_memory->home(), m_memory);
}

void TamsoMemoryView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only a real coming into view, not a window being restored from the minimised state.
    if (!event->spontaneous())
        startRefresh();
}

void TamsoMemoryView::syncRows() {
    qDeleteAll(m_rows);
    m_rows.clear();
    const QList<TamsoMemory::Observation> list =
        m_memory ? m_memory->observations() : QList<TamsoMemory::Observation>();
    for (const TamsoMemory::Observation& o : list) {
        QWidget* row = observationRow(o, m_box->card());
        m_box->column()->addWidget(row);
        row->show(); // a child made after its window is on screen starts hidden
        m_rows.append(row);
    }
    m_learning->setVisible(m_rows.isEmpty());
}
