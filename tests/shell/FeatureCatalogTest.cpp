#include "platform/SymbolIcons.h"
#include "shell/QKFeature.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSet>

namespace {

struct Record {
    const char* id;
    const char* title;
    const char* icon;
    const char* group;
    int triggers;
    bool reply;
    bool blurb;
    const char* actionLabel; // null: none
    QStringList legacyTitles;
};

// clang-format off
const Record kRecords[] = {
    // id, title, icon, group, triggers, reply, blurb, action label, legacy titles
    {"dashboard", "Home", "house", "tamsoCore", 13, true, false, "See what's using memory", {"Dashboard"}},
    {"tamso", "Explain My Mac", "sparkles", "tamsoCore", 8, true, true, "Ask Pendrel", {"Pendrel AI", "Pendrel"}},
    {"tamso-memory", "Pendrel Memory", "brain.head.profile", "tamsoCore", 5, false, true, "See what Pendrel knows", {}},
    {"pendrel-timeline", "Pendrel Timeline", "clock.arrow.circlepath", "tamsoCore", 6, false, true, "Open Timeline", {}},
    {"disk", "Storage", "internaldrive", "storage", 17, true, false, "Understand storage", {"Disk & Cleaner", "Disk and Cleaner"}},
    {"folders", "Browse Storage", "folder", "storage", 12, false, true, "Browse storage", {"Folders"}},
    {"duplicates", "Duplicates", "doc.on.doc", "storage", 6, false, true, nullptr, {"Duplicates"}},
    {"uninstaller", "Apps", "app.badge", "applications", 6, false, true, "Review apps", {"Uninstaller"}},
    {"startup", "Startup", "power", "applications", 7, false, true, nullptr, {}},
    {"subscriptions", "Subscriptions", "creditcard", "applications", 5, false, true, "Review subscriptions", {"Subscription Intelligence"}},
    {"devclean", "Developer", "hammer", "developer", 36, true, true, "Open Developer Centre", {"Dev Cleanup", "Developer Cleanup"}},
    {"compare", "Compare", "arrow.left.arrow.right.square", "developer", 7, false, true, nullptr, {}},
    {"vault", "Privacy", "hand.raised.shield", "privacy", 11, false, true, "Open Privacy Centre", {"Vault"}},
    {"performance", "Performance", "speedometer", "performance", 25, true, true, "See performance", {}},
    {"automation", "Automation", "clock.arrow.2.circlepath", "automation", 8, false, true, "Open Automation", {}},
    {"health-report", "Health Report", "chart.bar.doc.horizontal", "reports", 4, false, true, "View health report", {"Weekly Health Report"}},
    {"tweaks", "Tweaks", "slider.horizontal.3", "more", 4, false, true, nullptr, {}},
    {"about", "About", "info.circle", "more", 0, false, false, nullptr, {}},
};
// clang-format on

QStringList ids(const QList<const QKFeature*>& features) {
    return testsupport::strings(features, &QKFeature::id);
}

} // namespace

TEST(FeatureCatalog, HoldsTheEighteenRecordsInOrder) {
    const QList<QKFeature>& all = QKFeature::all();
    ASSERT_EQ(all.size(), std::size(kRecords));
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QKFeature& f = all.at(i);
        const Record& r = kRecords[i];
        SCOPED_TRACE(r.id);
        EXPECT_EQ(f.id, QLatin1String(r.id));
        EXPECT_EQ(f.title, QString::fromUtf8(r.title));
        EXPECT_EQ(f.icon, QLatin1String(r.icon));
        EXPECT_EQ(rawValue(f.group), QLatin1String(r.group));
        EXPECT_EQ(f.triggers.size(), r.triggers);
        EXPECT_EQ(f.hasReply(), r.reply);
        EXPECT_EQ(!f.blurb.isEmpty(), r.blurb);
        const std::optional<QString> label =
            r.actionLabel ? std::optional(QString::fromUtf8(r.actionLabel)) : std::nullopt;
        EXPECT_EQ(f.actionLabel, label);
        EXPECT_EQ(f.legacyTitles, r.legacyTitles);
    }
}

TEST(FeatureCatalog, RecordsKeepTheirInvariants) {
    static const QRegularExpression idShape(QStringLiteral("^[a-z]+(-[a-z]+)*$"));
    QSet<QString> seen;
    for (const QKFeature& f : QKFeature::all()) {
        SCOPED_TRACE(f.id.toStdString());
        EXPECT_TRUE(idShape.match(f.id).hasMatch());
        EXPECT_FALSE(seen.contains(f.id));
        seen.insert(f.id);
        EXPECT_TRUE(SymbolIcons::resolves(f.icon)) << f.icon.toStdString();
        QSet<QString> phrases;
        for (const QString& t : f.triggers) {
            EXPECT_EQ(t, t.toLower());
            EXPECT_EQ(t, t.trimmed());
            EXPECT_FALSE(phrases.contains(t)) << t.toStdString();
            phrases.insert(t);
        }
    }
}

TEST(CapabilityGroup, RawValuesTitlesAndRanks) {
    const struct {
        const char* raw;
        const char* title;
        int rank;
    } rows[] = {
        {"tamsoCore", "Pendrel", 0},
        {"storage", "Storage Intelligence", 1},
        {"applications", "Application Intelligence", 2},
        {"developer", "Developer Centre", 3},
        {"privacy", "Privacy Centre", 4},
        {"performance", "Performance", 5},
        {"automation", "Automation", 6},
        {"reports", "Reports", 7},
        {"more", "More", 99},
    };
    const QList<QKCapabilityGroup>& cases = allCases<QKCapabilityGroup>();
    ASSERT_EQ(cases.size(), std::size(rows));
    for (qsizetype i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(rawValue(cases.at(i)), QLatin1String(rows[i].raw));
        EXPECT_EQ(title(cases.at(i)), QLatin1String(rows[i].title));
        EXPECT_EQ(rank(cases.at(i)), rows[i].rank);
        EXPECT_EQ(fromRawValue<QKCapabilityGroup>(QLatin1String(rows[i].raw)), cases.at(i));
    }
    EXPECT_FALSE(fromRawValue<QKCapabilityGroup>("More").has_value()); // a title, not a raw value
    EXPECT_FALSE(fromRawValue<QKCapabilityGroup>("Storage").has_value());
    EXPECT_FALSE(fromRawValue<QKCapabilityGroup>("").has_value());
}

TEST(FeatureCatalog, LookupTakesIdsAndResolveTakesTitles) {
    ASSERT_NE(QKFeature::lookup("disk"), nullptr);
    EXPECT_EQ(QKFeature::lookup("disk")->title, "Storage");
    EXPECT_EQ(QKFeature::lookup("Disk and Cleaner"), nullptr);
    EXPECT_EQ(QKFeature::lookup("Disk"), nullptr);

    EXPECT_EQ(QKFeature::resolve("Storage"), QKFeature::lookup("disk"));
    EXPECT_EQ(QKFeature::resolve("Disk and Cleaner"), QKFeature::lookup("disk"));
    EXPECT_EQ(QKFeature::resolve("Disk & Cleaner"), QKFeature::lookup("disk"));
    EXPECT_EQ(QKFeature::resolve("Duplicates"), QKFeature::lookup("duplicates"));
    EXPECT_EQ(QKFeature::resolve("Pendrel"), QKFeature::lookup("tamso"));
    EXPECT_EQ(QKFeature::resolve("disk"), nullptr); // an id is not a title
    EXPECT_EQ(QKFeature::resolve("Storage "), nullptr);
    EXPECT_EQ(QKFeature::resolve("storage"), nullptr);
    EXPECT_EQ(QKFeature::resolve(""), nullptr);
}

TEST(FeatureCatalog, GroupsFollowAGivenOrderThenTheCatalog) {
    EXPECT_EQ(ids(QKFeature::features(QKCapabilityGroup::Storage,
                                      {"folders", "no-such-id", "dashboard"})),
              QStringList({"folders", "disk", "duplicates"}));
    EXPECT_EQ(ids(QKFeature::features(QKCapabilityGroup::Reports, {})),
              QStringList({"health-report"}));
    EXPECT_EQ(ids(QKFeature::features(QKCapabilityGroup::Storage, {"duplicates", "duplicates"})),
              QStringList({"duplicates", "duplicates", "disk", "folders"}));
    EXPECT_EQ(ids(QKFeature::features(QKCapabilityGroup::More, {"about"})),
              QStringList({"about", "tweaks"}));
}
