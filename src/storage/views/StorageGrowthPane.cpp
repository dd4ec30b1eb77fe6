#include "storage/views/StorageGrowthPane.h"

#include "platform/ByteFormat.h"
#include "platform/NotificationCenter.h"
#include "shell/ScreenState.h"
#include "storage/StorageGrowthScanner.h"
#include "storage/StorageHubText.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKBusyPage.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKHairline.h"
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

StorageGrowthPane::StorageGrowthPane(StorageGrowthScanner& growth, ScreenState& screen,
                                     QWidget* parent)
    : QWidget(parent), m_growth(growth), m_screen(screen), m_hold(this) {
    setObjectName(QStringLiteral("storageGrowthPane"));
    setAccessibleName(StorageHubText::growthTitle());
    using namespace QKLayout;
    QWidget* header = nullptr;
    QWidget* ask = nullptr;
    flushColumn(
        {part(header = new QWidget(this))
             .holding(row({16, 16, 16, 16}, {titles(StorageHubText::growthTitle(),
                                                    StorageHubText::growthSubtitle(), header),
                                             part(m_analyse = new QKProminentButton(
                                                      StorageHubText::analyseButton(false), header))
                                                 .name(QStringLiteral("growthAnalyse"))
                                                 .align(Qt::AlignVCenter)})),
         new QKHairline(this), part(m_body = new QKScanStatePages(this)).stretch(1),
         part(ask = new QWidget(this))
             .holding(column({16, 8, 16, 16},
                             {new AskTamsoStrip(StorageHubText::growthAskPrompt(),
                                                StorageHubText::growthAskQuestion(), true, ask)}))})
        .on(this);
    connect(m_analyse, &QPushButton::clicked, this, [this] { m_growth.scan(); });

    m_ready = new QKEmptyState(StorageHubText::readyTitle(), QStringLiteral("chart.bar.xaxis"),
                               StorageHubText::readyMessage(), this);
    m_body->setPage(QKScanPhase::Idle, m_ready);

    m_scanning = new QKBusyPage(StorageHubText::scanningLabel(), {}, this);
    m_body->setPage(QKScanPhase::Busy, m_scanning);

    m_done = new QWidget(this);
    QVBoxLayout* doneColumn = nullptr;
    m_page = QKBuild::page(doneColumn, m_done);
    m_page->setAccessibleName(StorageHubText::sectionHeader());
    items({QKBuild::label(StorageHubText::sectionHeader(), TextStyle::Subheadline,
                          QKForeground::Secondary, m_done, QFont::DemiBold),
           part(m_list = new QWidget(m_done))
               .name(QStringLiteral("growthBuckets"))
               .holding(column({0, 0, 0, 0}, 10, {}).keep(m_rows))})
        .fillPage(doneColumn);
    m_body->setPage(QKScanPhase::Done, m_done);

    m_failed = new QKEmptyState(StorageHubText::failedTitle(),
                                QStringLiteral("exclamationmark.triangle"), std::nullopt, this);
    m_body->setPage(QKScanPhase::Failed, m_failed);

    connect(&growth, &StorageGrowthScanner::stateChanged, this, &StorageGrowthPane::refresh);
    connect(&growth, &StorageGrowthScanner::bucketsChanged, this, &StorageGrowthPane::fillBuckets);
    fillBuckets();
    refresh();
}

void StorageGrowthPane::openBucket(ScreenState& screen, const QString& featureID) {
    if (featureID == QLatin1String("disk"))
        screen.setDiskMode(DiskMode::System);
    else
        NotificationCenter::defaultCenter().post(Notifications::OpenSection, featureID);
}

void StorageGrowthPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only the first showing after start-up measures by itself; a result or a failure stays
    // until the user asks again.
    if (!event->spontaneous() && m_growth.state().phase == ScanPhase::Idle)
        m_growth.scan();
}

void StorageGrowthPane::refresh() {
    const StorageGrowthScanner::State state = m_growth.state();
    const bool scanning = state.isRunning();
    m_analyse->setText(StorageHubText::analyseButton(scanning));
    if (scanning)
        m_hold.hold({m_analyse});
    m_analyse->setEnabled(!scanning);
    if (!scanning)
        m_hold.giveBack();
    m_body->showPhase(QKScanStatePages::phaseOf(state.phase), state.failure);
}

void StorageGrowthPane::fillBuckets() {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const qint64 total = m_growth.totalBytes();
    QKLayout::Box rows = QKLayout::items({});
    for (const StorageGrowthScanner::Bucket& bucket :
         StorageHubText::shownBuckets(m_growth.buckets())) {
        auto* row =
            new TamsoExplainRow(bucket.name, formatBytes(bucket.bytes), bucket.detail, m_list);
        row->setObjectName(QStringLiteral("bucket-") + bucket.id);
        row->setMeta(StorageHubText::bucketMeta(bucket.bytes, total));
        if (bucket.featureID) {
            QPushButton* open = QKBuild::button(StorageHubText::openButton(), true, row);
            open->setObjectName(QStringLiteral("open-") + bucket.id);
            open->setAccessibleName(StorageHubText::openButtonName(bucket));
            const QString featureID = *bucket.featureID;
            connect(open, &QPushButton::clicked, this,
                    [this, featureID] { openBucket(m_screen, featureID); });
            row->setTrailing(open);
        }
        rows.add(row);
    }
    rows.fill(m_rows);
    // The page is a Tab stop of its own (to scroll it by keys) only while no button in it is.
    m_page->setFocusPolicy(m_list->findChild<QPushButton*>() ? Qt::NoFocus : Qt::StrongFocus);
}
