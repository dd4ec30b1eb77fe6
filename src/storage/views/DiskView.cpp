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
#include "ui-kit/QKLayout.h"
#include "ui-kit/QKModeHost.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/SegmentedControl.h"
#include "vitals/AppState.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// One row of the prediction box, as a part of its tree: the label, then its value in semibold,
// handed back through `value`.
QWidget* predictionRow(const QString& label, QLabel*& value, const QString& valueName,
                       QWidget* parent) {
    using namespace QKLayout;
    QWidget* row = nullptr;
    part(row = new QWidget(parent))
        .holding(QKLayout::row(
            {0, 0, 0, 0}, 6,
            {QKBuild::label(label, TextStyle::Body, QKForeground::Primary, row, std::nullopt,
                            false),
             part(value = QKBuild::label(QString(), TextStyle::Body, QKForeground::Primary, row,
                                         QFont::DemiBold, false))
                 .name(valueName),
             stretch(1)}));
    return row;
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
    using namespace QKLayout;
    flushColumn({QKModeHost::pickerStrip<DiskMode>(m_picker, QStringLiteral("diskModePicker"), 720,
                                                   QMargins(16, 12, 16, 4), true, this),
                 part(m_host = new QKModeHost(
                          m_picker,
                          [this](int index, QWidget* parent) {
                              return buildPane(allCases<DiskMode>().value(index, DiskMode::Hub),
                                               parent);
                          },
                          QKModeHost::Panes::Rebuilt, this))
                     .name(QStringLiteral("diskModeHost"))
                     .stretch(1)})
        .on(this);
    m_picker->setAccessibleName(StorageHubText::title());

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
    QKBuild::page(column, pane)->setFocusPolicy(Qt::NoFocus); // its tiles' buttons take Tab

    using namespace QKLayout;
    QWidget* grid = nullptr;
    QKGridLayout* gridLayout = nullptr;
    items({part<QLabel>(m_header = QKBuild::label(QString(), TextStyle::Title2,
                                                  QKForeground::Primary, pane, QFont::Bold))
               .name(QStringLiteral("diskHeader")),
           QKBuild::label(StorageHubText::subtitle(), TextStyle::Callout, QKForeground::Secondary,
                          pane),
           part(grid = new QWidget(pane))
               .name(QStringLiteral("diskTiles"))
               .holding(tiles(220, 14).keep(gridLayout))})
        .fillPage(column);
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

    QKGroupBox* prediction = nullptr;
    items({part(prediction = new QKGroupBox(StorageHubText::predictionTitle(), 8, pane))
               .name(QStringLiteral("diskPrediction"))})
        .fillPage(column);
    QLabel* usage = nullptr;
    QLabel* growth = nullptr;
    QLabel* estimate = nullptr;
    items({predictionRow(StorageHubText::usageLabel(), usage, QStringLiteral("predictionUsage"),
                         prediction),
           predictionRow(StorageHubText::growthLabel(), growth, QStringLiteral("predictionGrowth"),
                         prediction),
           predictionRow(StorageHubText::estimateLabel(), estimate,
                         QStringLiteral("predictionEstimate"), prediction),
           QKBuild::label(StorageHubText::predictionNote(), TextStyle::Caption,
                          QKForeground::Secondary, prediction)})
        .fill(prediction->column());
    m_usage = usage;
    m_growthValue = growth;
    m_estimate = estimate;
    items(
        {new AskTamsoStrip(StorageHubText::askPrompt(), StorageHubText::askQuestion(), true, pane)})
        .fillPage(column);
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
