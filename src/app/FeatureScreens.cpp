#include "app/FeatureScreens.h"

#include "apps/views/AppsHubView.h"
#include "apps/views/StartupItemsView.h"
#include "apps/views/SubscriptionIntelligenceView.h"
#include "apps/views/TweaksView.h"
#include "assistant/TamsoMemory.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TamsoAIView.h"
#include "assistant/views/TamsoMemoryView.h"
#include "automation/AutomationStore.h"
#include "automation/views/AutomationView.h"
#include "cleaning/CleanupScanner.h"
#include "cleaning/views/BiggestFilesPane.h"
#include "cleaning/views/CleanerPane.h"
#include "developer/views/DevCleanView.h"
#include "developer/views/FileCompareView.h"
#include "duplicates/views/DuplicatesView.h"
#include "home/views/DashboardView.h"
#include "home/views/HealthReportView.h"
#include "platform/AccountName.h"
#include "platform/Clock.h"
#include "platform/PendrelTimelineStore.h"
#include "shell/QKFeature.h"
#include "shell/ScreenState.h"
#include "shell/views/AboutView.h"

#include "storage/views/DiskView.h"
#include "storage/views/FoldersView.h"
#include "ui-kit/QKEmptyState.h"
#include "vault/views/SecureNotesView.h"
#include "vitals/views/PerformanceView.h"

#include <QHash>

namespace {

// Stands in for a section whose screen has not been built yet: its title and icon.
QWidget* placeholder(const QKFeature& feature, QWidget* parent) {
    auto* panel = new QKEmptyState(feature.title, feature.icon, std::nullopt, parent);
    panel->setObjectName(QStringLiteral("placeholder-") + feature.id);
    return panel;
}

// A cleaner pane over one scanner.
QWidget* cleanerScreen(CleanupScanner& scanner, const Services& s, CleanerStateFields fields,
                       CleanerPaneText::Texts texts, QWidget* parent) {
    return new CleanerPane(scanner, *s.screen, std::move(fields), std::move(texts), s.fileRevealer,
                           parent);
}

// The storage hub, with the cleaners' panes it hosts for its cleaner modes.
QWidget* storageSection(const Services& s, QWidget* parent) {
    auto cleanerPane = [s](DiskMode mode, QWidget* host) -> QWidget* {
        switch (mode) {
        case DiskMode::Mail:
            return cleanerScreen(*s.mailCleaner, s, CleanerStateFields::mail(),
                                 CleanerPaneText::mail(), host);
        case DiskMode::Screenshots:
            return cleanerScreen(*s.screenshotCleaner, s, CleanerStateFields::screenshots(),
                                 CleanerPaneText::screenshots(), host);
        default:
            return cleanerScreen(*s.diskCleaner, s, CleanerStateFields::system(),
                                 CleanerPaneText::systemJunk(), host);
        }
    };
    return new DiskView(*s.screen, *s.appState, s.diskTrend, *s.storageGrowth, *s.diskMap,
                        *s.folderOrganizer, s.fileRevealer, cleanerPane, parent);
}

// Sections with a screen of their own, by id. A section missing here shows the placeholder.
// Builders take what they need straight from the bundle: every member is set (Services.h).
const QHash<QString, FeatureScreens::Builder>& screens() {
    static const QHash<QString, FeatureScreens::Builder> table = {
        {QStringLiteral("about"),
         [](const Services&, QWidget* parent) -> QWidget* { return new AboutView(parent); }},
        {QStringLiteral("automation"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new AutomationView(*s.automation, s.runMode, parent);
         }},
        {QStringLiteral("compare"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new FileCompareView(*s.screen, *s.fileCompare, parent);
         }},
        {QStringLiteral("devclean"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new DevCleanView(*s.screen, *s.devCleaner, *s.keepAwake, parent);
         }},
        {QStringLiteral("duplicates"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new DuplicatesView(*s.screen, *s.duplicateFinder, *s.similarFinder, parent);
         }},
        {QStringLiteral("disk"), storageSection},
        // Both read process-wide instances, not the app's services.
        {QStringLiteral("pendrel-timeline"),
         [](const Services&, QWidget* parent) -> QWidget* {
             return new PendrelTimelineView(*PendrelTimelineStore::shared(), parent);
         }},
        {QStringLiteral("tamso"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new TamsoAIView(*s.screen, *s.appState, *s.assistant, *s.search, s.fileRevealer,
                                    parent);
         }},
        {QStringLiteral("tamso-memory"),
         [](const Services&, QWidget* parent) -> QWidget* {
             return new TamsoMemoryView(*TamsoMemory::shared(), parent);
         }},
        {QStringLiteral("folders"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             FoldersView::PaneFactory biggest = [s](QWidget* host) -> QWidget* {
                 return new BiggestFilesPane(*s.largeFiles, *s.screen, s.fileRevealer, host);
             };
             return new FoldersView(*s.folderTree, *s.screen, s.fileRevealer, std::move(biggest),
                                    parent);
         }},
        {QStringLiteral("dashboard"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new DashboardView(*s.appState, *s.permissions, *s.health, *s.screen, *s.clock,
                                      *s.account, parent);
         }},
        {QStringLiteral("health-report"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new HealthReportView(*s.appState, *s.health, parent);
         }},
        {QStringLiteral("performance"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new PerformanceView(s.appState, s.autopilot, s.screen, parent);
         }},
        {QStringLiteral("startup"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new StartupItemsView(s.startupItems, s.fileRevealer, parent);
         }},
        {QStringLiteral("uninstaller"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new AppsHubView(*s.screen, *s.uninstaller, parent);
         }},
        {QStringLiteral("subscriptions"),
         [](const Services&, QWidget* parent) -> QWidget* {
             return new SubscriptionIntelligenceView(parent);
         }},
        {QStringLiteral("tweaks"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new TweaksView(s.tweaks, parent);
         }},
        {QStringLiteral("vault"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new SecureNotesView(*s.screen, *s.secureNotes, parent);
         }},
    };
    return table;
}

} // namespace

namespace FeatureScreens {

Builder builder(const QString& featureId) {
    const QKFeature* feature = QKFeature::lookup(featureId);
    if (!feature)
        return {};
    if (const auto it = screens().constFind(featureId); it != screens().cend())
        return it.value();
    const QKFeature record = *feature;
    return [record](const Services&, QWidget* parent) { return placeholder(record, parent); };
}

QWidget* build(const QString& featureId, const Services& services, QWidget* parent) {
    const Builder make = builder(featureId);
    return make ? make(services, parent) : nullptr;
}

} // namespace FeatureScreens
