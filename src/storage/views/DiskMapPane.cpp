#include "storage/views/DiskMapPane.h"

#include "platform/ByteFormat.h"
#include "storage/DiskMapScanner.h"
#include "storage/DiskMapText.h"
#include "storage/views/TreemapLegend.h"
#include "storage/views/TreemapView.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKLineLabel.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKReveal.h"
#include "ui-kit/QKRule.h"
#include "ui-kit/QKScanStatePages.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

DiskMapPane::DiskMapPane(DiskMapScanner& scanner, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_scanner(&scanner), m_revealer(revealer) {
    setObjectName(QStringLiteral("diskMapPane"));
    using namespace QKLayout;
    QWidget* header = buildHeader();
    const Box ask = AskTamsoStrip::underHeader(m_ask, DiskMapText::askPrompt(),
                                               DiskMapText::askQuestion(), this);

    m_body = new QKScanStatePages(this);
    m_body->setObjectName(QStringLiteral("diskMapBody"));
    m_progress = buildProgress();
    m_failed = new QKEmptyState(DiskMapText::failedTitle(),
                                QStringLiteral("exclamationmark.triangle"), QString(), m_body);
    m_failed->setObjectName(QStringLiteral("diskMapFailed"));
    m_idle = new QKEmptyState(DiskMapText::idleTitle(), QStringLiteral("square.grid.2x2"),
                              DiskMapText::idleMessage(), m_body);
    m_idle->setObjectName(QStringLiteral("diskMapIdle"));
    m_map = buildMap();
    m_body->setPage(QKScanPhase::Busy, m_progress);
    m_body->setPage(QKScanPhase::Failed, m_failed);
    m_body->setPage(QKScanPhase::Done, m_map);
    m_body->setPage(QKScanPhase::Idle, m_idle);
    flushColumn({header, ask, part(m_body).stretch(1)}).on(this);

    connect(&scanner, &DiskMapScanner::stateChanged, this, &DiskMapPane::refreshState);
    connect(&scanner, &DiskMapScanner::resultChanged, this, &DiskMapPane::refreshMap);
    refreshState();
    refreshMap();
}

QWidget* DiskMapPane::buildHeader() {
    using namespace QKLayout;
    auto* header = new QWidget(this);
    row({16, 16, 16, 16}, 8,
        {column(2, {part(QKBuild::label(DiskMapText::title(), TextStyle::Headline,
                                        QKForeground::Primary, header))
                        .name(QStringLiteral("diskMapTitle")),
                    part(m_breadcrumb = new QKLineLabel(DiskMapText::breadcrumb({}), header))
                        .font(TextStyle::Caption)
                        .ink(QKForeground::Secondary)
                        .name(QStringLiteral("diskMapBreadcrumb"))})
             .stretch(1),
         part(m_up = QKBuild::button(DiskMapText::upButton(), true, header))
             .name(QStringLiteral("diskMapUp"))
             .align(Qt::AlignVCenter),
         part(m_primary = new QKProminentButton(DiskMapText::analyseButton(), header))
             .name(QStringLiteral("diskMapPrimary"))
             .align(Qt::AlignVCenter)})
        .on(header);
    connect(m_up, &QPushButton::clicked, this, &DiskMapPane::goUp);
    connect(m_primary, &QPushButton::clicked, this, [this] {
        if (m_scanner && m_scanner->state().isRunning())
            stop();
        else
            analyse();
    });
    return header;
}

QWidget* DiskMapPane::buildProgress() {
    auto* page = new QKBusyPage(DiskMapText::progressLine(QString()),
                                {.tone = QKForeground::Primary,
                                 .wrap = true,
                                 .spacing = 10,
                                 .margins = QMargins(24, 24, 24, 24)},
                                m_body);
    m_progressLine = page->line();
    m_progressLine->setObjectName(QStringLiteral("diskMapProgress"));
    using namespace QKLayout;
    // A row of its own across the page, the note centred in it: the row asks for the height the
    // note's lines need at the note's own width, not at the page's.
    QWidget* noteRow = nullptr;
    part(noteRow = new QWidget(page))
        .holding(
            row({0, 0, 0, 0}, {stretch(1),
                               part(QKBuild::label(DiskMapText::progressNote(), TextStyle::Caption,
                                                   QKForeground::Secondary, page))
                                   .name(QStringLiteral("diskMapProgressNote"))
                                   .with([](QLabel* note) {
                                       note->setAlignment(Qt::AlignHCenter);
                                       note->setWordWrap(true);
                                       note->setMaximumWidth(380);
                                   })
                                   .stretch(100),
                               stretch(1)}));
    page->addPart(noteRow, {});
    QPushButton* stopButton = QKBuild::button(DiskMapText::stopButton(), true, page);
    stopButton->setObjectName(QStringLiteral("diskMapProgressStop"));
    connect(stopButton, &QPushButton::clicked, this, &DiskMapPane::stop);
    page->addPart(stopButton);
    return page;
}

QWidget* DiskMapPane::buildMap() {
    using namespace QKLayout;
    auto* page = new QWidget(m_body);
    QWidget* mapHolder = nullptr;
    QWidget* side = nullptr;
    flushRow(
        {part(mapHolder = new QWidget(page))
             .holding(column({12, 12, 12, 12}, {m_treemap = new TreemapView(mapHolder)}))
             .stretch(1),
         new QKRule(Qt::Vertical, page, 0.10, QKRule::Ink::WindowText),
         part(side = new QWidget(page))
             .name(QStringLiteral("diskMapSide"))
             .with([](QWidget* w) { w->setFixedWidth(240); })
             .holding(column(
                 {14, 14, 14, 14}, 12,
                 {QKBuild::label(DiskMapText::legendTitle(), TextStyle::Headline,
                                 QKForeground::Primary, side),
                  part(m_legend = new TreemapLegend(side)).name(QStringLiteral("diskMapLegend")),
                  part(m_details = new QWidget(side))
                      .name(QStringLiteral("diskMapDetails"))
                      .holding(column(
                          {0, 0, 0, 0}, 12,
                          {new QKHairline(m_details),
                           m_detailName = QKBuild::label(QString(), TextStyle::Headline,
                                                         QKForeground::Primary, m_details),
                           m_detailSize =
                               QKBuild::label(QString(), TextStyle::Title3, QKForeground::Primary,
                                              m_details, QFont::DemiBold),
                           m_detailCategory = QKBuild::label(QString(), TextStyle::Caption,
                                                             QKForeground::Secondary, m_details),
                           m_detailDescription = QKBuild::label(QString(), TextStyle::Caption,
                                                                QKForeground::Secondary, m_details),
                           part(m_reveal =
                                    QKBuild::button(DiskMapText::revealButton(), true, m_details))
                               .name(QStringLiteral("diskMapReveal"))
                               .align(Qt::AlignLeft)})),
                  stretch(1)}))})
        .on(page);
    connect(m_treemap, &TreemapView::selectionClicked, this, &DiskMapPane::select);
    connect(m_treemap, &TreemapView::drillInRequested, this, &DiskMapPane::drillIn);
    connect(m_treemap, &TreemapView::upRequested, this, [this] {
        if (!m_stack.isEmpty())
            goUp();
    });
    connect(m_reveal, &QPushButton::clicked, this, &DiskMapPane::revealSelection);
    return page;
}

void DiskMapPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && m_scanner && m_scanner->state().phase == ScanPhase::Idle)
        m_scanner->scan();
}

void DiskMapPane::analyse() {
    m_stack.clear();
    m_selection.reset();
    refreshMap();
    if (m_scanner)
        m_scanner->scan();
}

void DiskMapPane::stop() {
    if (m_scanner)
        m_scanner->cancel();
}

void DiskMapPane::drillIn(const MapNode& node) {
    if (!node.hasChildren())
        return;
    m_stack.append(node);
    m_selection.reset();
    refreshMap();
}

void DiskMapPane::goUp() {
    if (!m_stack.isEmpty())
        m_stack.removeLast();
    m_selection.reset();
    refreshMap();
}

void DiskMapPane::revealSelection() {
    if (m_selection && m_selection->isDirectory)
        QKReveal::reveal(m_revealer, m_selection->url.toLocalFile(), m_reveal);
}

void DiskMapPane::select(const MapNode& node) {
    m_selection = node;
    m_treemap->setSelection(m_selection);
    refreshDetails();
}

QList<MapNode> DiskMapPane::currentNodes() const {
    if (!m_stack.isEmpty())
        return m_stack.constLast().children;
    if (m_scanner && m_scanner->result())
        return m_scanner->result()->root.children;
    return {};
}

CategoryTotals DiskMapPane::categoryTotals() const {
    CategoryTotals totals;
    if (!m_stack.isEmpty())
        MapNodes::accumulateCategoryTotals(totals, m_stack.constLast());
    else if (m_scanner && m_scanner->result())
        MapNodes::accumulateCategoryTotals(totals, m_scanner->result()->root);
    return totals;
}

void DiskMapPane::refreshState() {
    const DiskMapScanner::State state = m_scanner ? m_scanner->state() : DiskMapScanner::State();
    m_primary->setText(state.isRunning() ? DiskMapText::stopButton()
                                         : DiskMapText::analyseButton());
    if (state.isRunning())
        m_progressLine->setText(DiskMapText::progressLine(state.progress.text));
    m_body->showPhase(QKScanStatePages::phaseOf(state.phase), state.failure);
}

void DiskMapPane::refreshMap() {
    m_breadcrumb->setText(DiskMapText::breadcrumb(m_stack));
    m_up->setVisible(!m_stack.isEmpty());
    m_treemap->setNodes(currentNodes());
    m_treemap->setSelection(m_selection);
    m_legend->setTotals(categoryTotals());
    refreshDetails();
}

void DiskMapPane::refreshDetails() {
    m_details->setVisible(m_selection.has_value());
    if (!m_selection)
        return;
    const MapNode& node = *m_selection;
    m_detailName->setText(node.name);
    m_detailSize->setText(formatBytes(node.sizeBytes));
    m_detailCategory->setText(title(node.category));
    m_detailDescription->setText(description(node.category));
    m_reveal->setVisible(node.isDirectory);
}
