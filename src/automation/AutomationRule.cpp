#include "automation/AutomationRule.h"

#include "platform/RawValueTable.h"
#include "platform/SymbolName.h"

namespace {

constexpr std::array<const char*, 5> kRaw = {"fridayDownloads", "sundayDevCaches", "diskAlert",
                                             "weeklyDocker", "fridayScreenshots"};

} // namespace

PENDREL_RAW_VALUES(AutomationRule::Kind, kRaw)

const QList<AutomationRule>& AutomationRule::all() {
    using K = AutomationRule::Kind;
    static const QList<AutomationRule> table = {
        {QStringLiteral("friday-downloads"), QStringLiteral("Empty Downloads"),
         QStringLiteral("Every Friday"),
         QStringLiteral("Move downloads older than 30 days to the Trash."), "arrow.down.circle"_sym,
         K::FridayDownloads},
        {QStringLiteral("sunday-dev"), QStringLiteral("Developer caches"),
         QStringLiteral("Every Sunday"),
         QStringLiteral("Clean build output, Homebrew, npm and other regenerable caches (not "
                        "Docker or AI models)."),
         "hammer"_sym, K::SundayDevCaches},
        {QStringLiteral("disk-alert"), QStringLiteral("Storage alert"),
         QStringLiteral("When SSD exceeds 90%"),
         QStringLiteral("Notify you before storage becomes a problem."), "bell.badge"_sym,
         K::DiskAlert},
        {QStringLiteral("weekly-docker"), QStringLiteral("Docker cleanup"),
         QStringLiteral("Every Monday"),
         QStringLiteral("Runs docker system prune for unused data when Docker is installed."),
         "shippingbox"_sym, K::WeeklyDocker},
        {QStringLiteral("friday-screenshots"), QStringLiteral("Screenshot cleanup"),
         QStringLiteral("Every Friday"),
         QStringLiteral("Move screenshots older than 7 days from Desktop, Downloads and "
                        "Pictures/Screenshots to Trash."),
         "camera.viewfinder"_sym, K::FridayScreenshots},
    };
    return table;
}

const AutomationRule* AutomationRule::lookup(const QString& id) {
    for (const AutomationRule& rule : all()) {
        if (rule.id == id)
            return &rule;
    }
    return nullptr;
}
