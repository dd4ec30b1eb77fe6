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
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKScanStatePages.h"
#include "ui-kit/TamsoExplainRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

StorageGrowthPane::StorageGrowthPane(StorageGrowthScanner& growth, ScreenState& screen,
                                     QWidget* parent)
    : QWidget(parent), m_growth(growth), m_screen(screen) {
    setObjectName(QStringLiteral("storageGrowthPane"));
    auto* root = QKBuild::flushColumn(this);

    auto* header = new QWidget(this);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(16, 16, 16, 16);
    QKBuild::addTitles(headerRow, StorageHubText::growthTitle(), StorageHubText::growthSubtitle(),
                       header);
    m_analyse = new QKProminentButton(StorageHubText::analyseButton(false), header);
    m_analyse->setObjectName(QStringLiteral("growthAnalyse"));
    headerRow->addWidget(m_analyse, 0, Qt::AlignVCenter);
    root->addWidget(header);
    root->addWidget(new QKHairline(this));
    connect(m_analyse, &QPushButton::clicked, this, [this] { m_growth.scan(); });

    m_body = new QKScanStatePages(this);
    m_ready = new QKEmptyState(StorageHubText::readyTitle(), QStringLiteral("chart.bar.xaxis"),
                               StorageHubText::readyMessage(), this);
    m_body->setPage(QKScanPhase::Idle, m_ready);

    m_scanning = new QKBusyPage(StorageHubText::scanningLabel(), {}, this);
    m_body->setPage(QKScanPhase::Busy, m_scanning);

    m_done = new QWidget(this);
    QVBoxLayout* doneColumn = nullptr;
    QKBuild::page(doneColumn, m_done);
    QKBuild::addPart(doneColumn,
                     QKBuild::label(StorageHubText::sectionHeader(), TextStyle::Subheadline,
                                    QKForeground::Secondary, m_done, QFont::DemiBold));
    m_list = new QWidget(m_done);
    m_list->setObjectName(QStringLiteral("growthBuckets"));
    m_rows = QKBuild::insetColumn(m_list, {0, 0, 0, 0}, 10);
    QKBuild::addPart(doneColumn, m_list);
    m_body->setPage(QKScanPhase::Done, m_done);

    m_failed = new QKEmptyState(StorageHubText::failedTitle(),
                                QStringLiteral("exclamationmark.triangle"), std::nullopt, this);
    m_body->setPage(QKScanPhase::Failed, m_failed);
    root->addWidget(m_body, 1);

    auto* ask = new QWidget(this);
    auto* askRow = new QVBoxLayout(ask);
    askRow->setContentsMargins(16, 8, 16, 16);
    askRow->addWidget(new AskTamsoStrip(StorageHubText::growthAskPrompt(),
                                        StorageHubText::growthAskQuestion(), true, ask));
    root->addWidget(ask);

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
    m_analyse->setEnabled(!scanning);
    m_body->showPhase(QKScanStatePages::phaseOf(state.phase), state.failure);
}

void StorageGrowthPane::fillBuckets() {
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const qint64 total = m_growth.totalBytes();
    for (const StorageGrowthScanner::Bucket& bucket :
         StorageHubText::shownBuckets(m_growth.buckets())) {
        auto* row =
            new TamsoExplainRow(bucket.name, formatBytes(bucket.bytes), bucket.detail, m_list);
        row->setObjectName(QStringLiteral("bucket-") + bucket.id);
        row->setMeta(StorageHubText::bucketMeta(bucket.bytes, total));
        if (bucket.featureID) {
            QPushButton* open = QKBuild::button(StorageHubText::openButton(), true, row);
            open->setObjectName(QStringLiteral("open-") + bucket.id);
            const QString featureID = *bucket.featureID;
            connect(open, &QPushButton::clicked, this,
                    [this, featureID] { openBucket(m_screen, featureID); });
            row->setTrailing(open);
        }
        m_rows->addWidget(row);
    }
}
