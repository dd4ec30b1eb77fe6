#include "assistant/views/TamsoMemoryView.h"

#include "assistant/TamsoAIText.h"
#include "assistant/TamsoMemory.h"
#include "platform/SymbolName.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKCardSurface.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKIconLabel.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKSpinner.h"
#include "ui-kit/QKSymbol.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

// One observation: its symbol in the tint in a 24-point column, the label over the detail.
QWidget* observationRow(const TamsoMemory::Observation& o, QWidget* parent) {
    using namespace QKLayout;
    auto* line = new QWidget(parent);
    line->setObjectName(QStringLiteral("observation-") + o.id);
    QWidget* cell = nullptr;
    row({0, 6, 0, 6}, 12,
        {part(cell = new QWidget(line))
             .with([](QWidget* w) { w->setFixedWidth(24); })
             .holding(
                 column({0, 0, 0, 0}, {part(new QKSymbol(o.icon, QKFont{.style = TextStyle::Body},
                                                         QKForeground::Tint, cell))
                                           .align(Qt::AlignCenter)}))
             .align(Qt::AlignVCenter),
         column(2,
                {part(QKBuild::label(o.label, TextStyle::Callout, QKForeground::Primary, line,
                                     QFont::DemiBold))
                     .name(QStringLiteral("observationLabel")),
                 part(QKBuild::label(o.detail, TextStyle::Caption, QKForeground::Secondary, line))
                     .name(QStringLiteral("observationDetail"))})
             .stretch(1)})
        .on(line);
    return line;
}

QWidget* privacyCard(QWidget* parent) {
    using namespace QKLayout;
    auto* box = new QKGroupBox(QString(), 8, parent);
    box->setObjectName(QStringLiteral("privacyCard"));
    items({part(new QKIconLabel("lock.shield.fill"_sym, TamsoAIText::privacyHeading(),
                                QKFont{.style = TextStyle::Headline}, QKForeground::Green, box)),
           part(QKBuild::label(TamsoAIText::privacyNote(), TextStyle::Caption,
                               QKForeground::Secondary, box))})
        .fill(box->column());
    return box;
}

} // namespace

TamsoMemoryView::TamsoMemoryView(TamsoMemory& memory, QWidget* parent)
    : QWidget(parent), m_memory(&memory) {
    setObjectName(QStringLiteral("tamsoMemoryView"));
    setWindowTitle(TamsoAIText::memoryTitle());

    using namespace QKLayout;
    QVBoxLayout* column = nullptr;
    QKBuild::introPage(column, this, TamsoAIText::memoryIntro());
    QWidget* content = column->parentWidget();

    m_box = new QKGroupBox(TamsoAIText::knowledgeTitle(), 0, content);
    m_box->setObjectName(QStringLiteral("knowledgeBox"));
    items({part(m_learning = new QWidget(m_box->card()))
               .name(QStringLiteral("learningLine"))
               .holding(row(
                   {0, 4, 0, 4}, 8,
                   {part(new QKSpinner(m_learning))
                        .font(TextStyle::Body)
                        .ink(QKForeground::Secondary)
                        .align(Qt::AlignVCenter),
                    part(QKBuild::label(TamsoAIText::learning(), TextStyle::Body,
                                        QKForeground::Secondary, m_learning, std::nullopt, false)),
                    stretch(1)}))})
        .fill(m_box->column());

    QWidget* buttonLine = nullptr;
    items({part(m_box), part(privacyCard(content)),
           part(buttonLine = new QWidget(content))
               .holding(row(QMargins(0, 0, 0, 0),
                            {part(m_refresh = QKBuild::button(TamsoAIText::refreshButton(), false,
                                                              buttonLine))
                                 .name(QStringLiteral("refreshMemory")),
                             stretch(1)}))})
        .fillPage(column);

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
        QKLayout::items({QKLayout::part(row)}).fill(m_box->column());
        row->show(); // a child made after its window is on screen starts hidden
        m_rows.append(row);
    }
    m_learning->setVisible(m_rows.isEmpty());
}
