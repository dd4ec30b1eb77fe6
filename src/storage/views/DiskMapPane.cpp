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

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

DiskMapPane::DiskMapPane(DiskMapScanner& scanner, FileRevealer* revealer, QWidget* parent)
    : QWidget(parent), m_scanner(&scanner), m_revealer(revealer) {
    setObjectName(QStringLiteral("diskMapPane"));
    auto* root = QKBuild::flushColumn(this);
    root->addWidget(buildHeader());

    m_ask = AskTamsoStrip::addUnderHeader(root, DiskMapText::askPrompt(),
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
    root->addWidget(m_body, 1);

    connect(&scanner, &DiskMapScanner::stateChanged, this, &DiskMapPane::refreshState);
    connect(&scanner, &DiskMapScanner::resultChanged, this, &DiskMapPane::refreshMap);
    refreshState();
    refreshMap();
}

QWidget* DiskMapPane::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = QKBuild::insetRow(header, {16, 16, 16, 16}, 8);
    using namespace QKLayout;
    row->addLayout(
        column(2, {part(QKBuild::label(DiskMapText::title(), TextStyle::Headline,
                                       QKForeground::Primary, header))
                       .name(QStringLiteral("diskMapTitle")),
                   part(m_breadcrumb = new QKLineLabel(DiskMapText::breadcrumb({}), header))
                       .font(TextStyle::Caption)
                       .ink(QKForeground::Secondary)
                       .name(QStringLiteral("diskMapBreadcrumb"))})
            .make(),
        1);

    m_up = QKBuild::button(DiskMapText::upButton(), true, header);
    m_up->setObjectName(QStringLiteral("diskMapUp"));
    connect(m_up, &QPushButton::clicked, this, &DiskMapPane::goUp);
    row->addWidget(m_up, 0, Qt::AlignVCenter);

    m_primary = new QKProminentButton(DiskMapText::analyseButton(), header);
    m_primary->setObjectName(QStringLiteral("diskMapPrimary"));
    connect(m_primary, &QPushButton::clicked, this, [this] {
        if (m_scanner && m_scanner->state().isRunning())
            stop();
        else
            analyse();
    });
    row->addWidget(m_primary, 0, Qt::AlignVCenter);
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
    QLabel* note = QKBuild::label(DiskMapText::progressNote(), TextStyle::Caption,
                                  QKForeground::Secondary, page);
    note->setObjectName(QStringLiteral("diskMapProgressNote"));
    note->setAlignment(Qt::AlignHCenter);
    note->setWordWrap(true);
    note->setMaximumWidth(380);
    // A row of its own across the page, the note centred in it: the row asks for the height the
    // note's lines need at the note's own width, not at the page's.
    auto* noteRow = new QWidget(page);
    auto* noteLayout = new QHBoxLayout(noteRow);
    noteLayout->setContentsMargins(0, 0, 0, 0);
    noteLayout->addStretch(1);
    noteLayout->addWidget(note, 100);
    noteLayout->addStretch(1);
    page->addPart(noteRow, {});
    QPushButton* stopButton = QKBuild::button(DiskMapText::stopButton(), true, page);
    stopButton->setObjectName(QStringLiteral("diskMapProgressStop"));
    connect(stopButton, &QPushButton::clicked, this, &DiskMapPane::stop);
    page->addPart(stopButton);
    return page;
}

QWidget* DiskMapPane::buildMap() {
    auto* page = new QWidget(m_body);
    auto* row = QKBuild::flushRow(page);

    auto* mapHolder = new QWidget(page);
    auto* mapLayout = new QVBoxLayout(mapHolder);
    mapLayout->setContentsMargins(12, 12, 12, 12);
    m_treemap = new TreemapView(mapHolder);
    mapLayout->addWidget(m_treemap);
    row->addWidget(mapHolder, 1);
    connect(m_treemap, &TreemapView::selectionClicked, this, &DiskMapPane::select);
    connect(m_treemap, &TreemapView::drillInRequested, this, &DiskMapPane::drillIn);
    connect(m_treemap, &TreemapView::upRequested, this, [this] {
        if (!m_stack.isEmpty())
            goUp();
    });

    row->addWidget(new QKRule(Qt::Vertical, page, 0.10, QKRule::Ink::WindowText));

    auto* side = new QWidget(page);
    side->setObjectName(QStringLiteral("diskMapSide"));
    side->setFixedWidth(240);
    auto* column = QKBuild::insetColumn(side, {14, 14, 14, 14}, 12);
    column->addWidget(QKBuild::label(DiskMapText::legendTitle(), TextStyle::Headline,
                                     QKForeground::Primary, side));
    m_legend = new TreemapLegend(side);
    m_legend->setObjectName(QStringLiteral("diskMapLegend"));
    column->addWidget(m_legend);

    m_details = new QWidget(side);
    m_details->setObjectName(QStringLiteral("diskMapDetails"));
    auto* details = QKBuild::insetColumn(m_details, {0, 0, 0, 0}, 12);
    details->addWidget(new QKHairline(m_details));
    m_detailName = QKBuild::label(QString(), TextStyle::Headline, QKForeground::Primary, m_details);
    m_detailSize = QKBuild::label(QString(), TextStyle::Title3, QKForeground::Primary, m_details,
                                  QFont::DemiBold);
    m_detailCategory =
        QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_details);
    m_detailDescription =
        QKBuild::label(QString(), TextStyle::Caption, QKForeground::Secondary, m_details);
    m_reveal = QKBuild::button(DiskMapText::revealButton(), true, m_details);
    m_reveal->setObjectName(QStringLiteral("diskMapReveal"));
    connect(m_reveal, &QPushButton::clicked, this, &DiskMapPane::revealSelection);
    for (QWidget* w :
         {static_cast<QWidget*>(m_detailName), static_cast<QWidget*>(m_detailSize),
          static_cast<QWidget*>(m_detailCategory), static_cast<QWidget*>(m_detailDescription)})
        details->addWidget(w);
    details->addWidget(m_reveal, 0, Qt::AlignLeft);
    column->addWidget(m_details);
    column->addStretch(1);
    row->addWidget(side);
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
