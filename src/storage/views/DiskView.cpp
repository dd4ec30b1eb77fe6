#include "storage/views/DiskView.h"

#include "platform/NotificationCenter.h"
#include "shell/QKFeature.h"
#include "shell/ScreenState.h"
#include "storage/DiskTrend.h"
#include "storage/StorageHubText.h"
#include "storage/views/DiskMapPane.h"
#include "storage/views/OrganizerPane.h"
#include "storage/views/StorageGrowthPane.h"
#include "ui-kit/AskTamsoStrip.h"
#include "ui-kit/QKBuild.h"
#include "ui-kit/QKEmptyState.h"
#include "ui-kit/QKGridLayout.h"
#include "ui-kit/QKGroupBox.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "vitals/AppState.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// One row of the prediction box: the label, then its value in semibold.
QLabel* predictionRow(const QString& label, QVBoxLayout* column, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = QKBuild::insetRow(row, {0, 0, 0, 0}, 6);
    layout->addWidget(
        QKBuild::label(label, TextStyle::Body, QKForeground::Primary, row, std::nullopt, false));
    QLabel* value = QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary, row,
                                   QFont::DemiBold, false);
    layout->addWidget(value);
    layout->addStretch(1);
    column->addWidget(row);
    return value;
}

} // namespace

DiskView::DiskView(ScreenState& screen, AppState& appState, const DiskTrend* trend,
                   StorageGrowthScanner& growth, DiskMapScanner& diskMap,
                   FolderOrganizer& organizer, FileRevealer* revealer,
                   CleanerPaneFactory cleanerPane, QWidget* parent)
    : QWidget(parent), m_screen(screen), m_appState(appState), m_trend(trend), m_growth(growth),
      m_diskMap(diskMap), m_organizer(organizer), m_revealer(revealer),
      m_cleanerPane(std::move(cleanerPane)) {
    setObjectName(QStringLiteral("diskView"));
    setWindowTitle(StorageHubText::title());
    auto* root = QKBuild::flushColumn(this);

    root->addWidget(QKModeHost::pickerStrip<DiskMode>(m_picker, QStringLiteral("diskModePicker"),
                                                      720, QMargins(16, 12, 16, 4), true, this));
    m_picker->setAccessibleName(StorageHubText::title());

    m_host = new QKModeHost(
        m_picker,
        [this](int index, QWidget* parent) {
            return buildPane(allCases<DiskMode>().value(index, DiskMode::Hub), parent);
        },
        QKModeHost::Panes::Rebuilt, this);
    m_host->setObjectName(QStringLiteral("diskModeHost"));
    root->addWidget(m_host, 1);

    m_host->bind<DiskMode>(
        &screen, &ScreenState::diskModeChanged, [this] { return m_screen.diskMode(); },
        [this](DiskMode mode) { m_screen.setDiskMode(mode); });
    // The prediction follows every sample and every new trend point; it has no state of its own.
    connect(&appState, &AppState::snapshotChanged, this, &DiskView::refreshOverview);
    if (trend)
        connect(trend, &DiskTrend::pointsChanged, this, &DiskView::refreshOverview);
}

QWidget* DiskView::buildPane(DiskMode mode, QWidget* parent) {
    QWidget* pane = nullptr;
    switch (mode) {
    case DiskMode::Hub:
        pane = buildOverview(parent);
        break;
    case DiskMode::System:
    case DiskMode::Mail:
    case DiskMode::Screenshots:
        pane = m_cleanerPane ? m_cleanerPane(mode, parent) : nullptr;
        break;
    case DiskMode::Growth:
        pane = new StorageGrowthPane(m_growth, m_screen, parent);
        break;
    case DiskMode::DiskMap:
        pane = new DiskMapPane(m_diskMap, m_revealer, parent);
        break;
    case DiskMode::Organizer:
        pane = new OrganizerPane(m_organizer, parent);
        break;
    }
    if (!pane) {
        const QKFeature* feature = QKFeature::lookup(QStringLiteral("disk"));
        pane = new QKEmptyState(title(mode), feature ? QString(feature->icon) : QString(),
                                std::nullopt, parent);
    }
    return pane;
}

QWidget* DiskView::buildOverview(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("diskOverview"));
    QVBoxLayout* column = nullptr;
    QKBuild::page(column, pane);

    m_header =
        QKBuild::label(QString(), TextStyle::Title2, QKForeground::Primary, pane, QFont::Bold);
    m_header->setObjectName(QStringLiteral("diskHeader"));
    QKBuild::addPart(column, m_header);
    QKBuild::addPart(column, QKBuild::label(StorageHubText::subtitle(), TextStyle::Callout,
                                            QKForeground::Secondary, pane));

    auto* grid = new QWidget(pane);
    grid->setObjectName(QStringLiteral("diskTiles"));
    auto* gridLayout = new QKGridLayout(220, 14, 14, grid);
    for (const StorageHubText::Tile& tile : StorageHubText::tiles()) {
        QKProminentButton* button =
            QKBuild::addTile(gridLayout, tile.icon, tile.title, tile.text, tile.button, grid);
        button->setObjectName(QStringLiteral("tile-") + tile.title);
        const std::optional<DiskMode> mode = tile.mode;
        const QString section = tile.section;
        connect(button, &QPushButton::clicked, this, [this, mode, section] {
            if (mode)
                m_screen.setDiskMode(*mode);
            else
                NotificationCenter::defaultCenter().post(Notifications::OpenSection, section);
        });
    }
    QKBuild::addPart(column, grid);

    auto* prediction = new QKGroupBox(StorageHubText::predictionTitle(), 8, pane);
    prediction->setObjectName(QStringLiteral("diskPrediction"));
    m_usage = predictionRow(StorageHubText::usageLabel(), prediction->column(), prediction);
    m_growthValue = predictionRow(StorageHubText::growthLabel(), prediction->column(), prediction);
    m_estimate = predictionRow(StorageHubText::estimateLabel(), prediction->column(), prediction);
    m_usage->setObjectName(QStringLiteral("predictionUsage"));
    m_growthValue->setObjectName(QStringLiteral("predictionGrowth"));
    m_estimate->setObjectName(QStringLiteral("predictionEstimate"));
    prediction->column()->addWidget(QKBuild::label(
        StorageHubText::predictionNote(), TextStyle::Caption, QKForeground::Secondary, prediction));
    QKBuild::addPart(column, prediction);

    QKBuild::addPart(column, new AskTamsoStrip(StorageHubText::askPrompt(),
                                               StorageHubText::askQuestion(), true, pane));
    refreshOverview();
    return pane;
}

void DiskView::refreshOverview() {
    if (!m_header)
        return;
    const SystemSnapshot& snapshot = m_appState.snapshot();
    m_header->setText(StorageHubText::header(snapshot.diskFreeBytes, snapshot.diskTotalBytes));
    const StorageHubText::Prediction p =
        StorageHubText::predict(snapshot, m_trend ? m_trend->growthPerDay(snapshot) : std::nullopt);
    m_usage->setText(p.usage);
    m_growthValue->setText(p.growth);
    m_estimate->setText(p.estimate);
}
