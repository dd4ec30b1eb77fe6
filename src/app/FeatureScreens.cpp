#include "app/FeatureScreens.h"

#include "apps/views/StartupItemsView.h"
#include "apps/views/TweaksView.h"
#include "assistant/PendrelTimelineStore.h"
#include "assistant/TamsoMemory.h"
#include "assistant/views/PendrelTimelineView.h"
#include "assistant/views/TamsoMemoryView.h"
#include "developer/views/FileCompareView.h"
#include "shell/QKFeature.h"
#include "shell/views/AboutView.h"

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

// Sections with a screen of their own, by id. A section missing here shows the placeholder.
const QHash<QString, FeatureScreens::Builder>& screens() {
    static const QHash<QString, FeatureScreens::Builder> table = {
        {QStringLiteral("about"),
         [](const Services&, QWidget* parent) -> QWidget* { return new AboutView(parent); }},
        {QStringLiteral("compare"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             if (!s.screen || !s.fileCompare)
                 return placeholder(*QKFeature::lookup(QStringLiteral("compare")), parent);
             return new FileCompareView(*s.screen, *s.fileCompare, parent);
         }},
        // Both read process-wide instances, not the app's services.
        {QStringLiteral("pendrel-timeline"),
         [](const Services&, QWidget* parent) -> QWidget* {
             return new PendrelTimelineView(*PendrelTimelineStore::shared(), parent);
         }},
        {QStringLiteral("tamso-memory"),
         [](const Services&, QWidget* parent) -> QWidget* {
             return new TamsoMemoryView(*TamsoMemory::shared(), parent);
         }},
        {QStringLiteral("performance"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new PerformanceView(s.appState, s.autopilot, s.screen, parent);
         }},
        {QStringLiteral("startup"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new StartupItemsView(s.startupItems, s.fileRevealer, parent);
         }},
        {QStringLiteral("tweaks"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             return new TweaksView(s.tweaks, parent);
         }},
        {QStringLiteral("vault"),
         [](const Services& s, QWidget* parent) -> QWidget* {
             if (!s.screen || !s.secureNotes)
                 return placeholder(*QKFeature::lookup(QStringLiteral("vault")), parent);
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
