// Every row of every cleaner, measured by the real measurer and cleaned into the real Trash of a
// sandboxed home: what the row and the confirmation showed (bytes and items) is what went, and
// only that.
#include "cleaning/CleanerPaneText.h"
#include "e2e/E2ESupport.h"

#include <memory>

using namespace e2e;

namespace {

enum class Cleaner { Junk, Developer, Mail, Screenshots };

struct RowCase {
    Cleaner cleaner;
    QString id;
};

void PrintTo(const RowCase& row, std::ostream* os) {
    *os << row.id.toStdString();
}

// Where each mail row's first place is, home-relative as the table writes it: the mail rows
// exist only for places on the disk.
const QList<QPair<QString, QString>>& mailPlaces() {
    static const QList<QPair<QString, QString>> places = {
        {"mail-apple-downloads", "Library/Mail Downloads"},
        {"mail-apple-caches", "Library/Containers/com.apple.mail/Data/Library/Caches"},
        {"mail-apple-store", "Library/Mail"},
        {"mail-tb-imap", "Library/Thunderbird/Profiles/abc.default/ImapMail"},
        {"mail-tb-index", "Library/Thunderbird/Profiles/abc.default/global-messages-db.sqlite"},
        {"mail-tb-caches", "Library/Caches/Thunderbird"},
        {"mail-tb-local", "Library/Thunderbird/Profiles/abc.default/Mail"},
        {"mail-outlook-caches", "Library/Caches/com.microsoft.Outlook"},
        {"mail-outlook-store", "Library/Group Containers/UBF8T346G9.Office/Outlook"},
    };
    return places;
}

std::vector<RowCase> allRows() {
    const HomeLayout layout = HomeLayout::forHome(QStringLiteral("/nonexistent-home"));
    std::vector<RowCase> rows;
    for (const CleanCategory& c : CleanCategory::diskCategories(layout))
        rows.push_back({Cleaner::Junk, c.id});
    for (const CleanCategory& c : CleanCategory::devCategories(layout))
        rows.push_back({Cleaner::Developer, c.id});
    for (const auto& place : mailPlaces())
        rows.push_back({Cleaner::Mail, place.first});
    for (const CleanCategory& c : ScreenshotCleanupScanner::categories(layout))
        rows.push_back({Cleaner::Screenshots, c.id});
    return rows;
}

std::unique_ptr<CleanupScanner> scannerFor(Cleaner cleaner, const Home& h) {
    switch (cleaner) {
    case Cleaner::Junk:
        return std::make_unique<DiskCleanupScanner>(h.layout, h.deps);
    case Cleaner::Developer:
        return std::make_unique<DevCleanupScanner>(h.layout, h.deps);
    case Cleaner::Mail:
        return std::make_unique<MailCleanupScanner>(h.layout, h.deps);
    case Cleaner::Screenshots:
        break;
    }
    return std::make_unique<ScreenshotCleanupScanner>(h.layout, h.deps);
}

QString plain(const QString& stem) {
    return stem;
}

// Puts the fixture where the row looks, in the form it looks for. What the row must leave is
// written beside it and returned.
QStringList placeFixture(const RowCase& rc, Home& h, const CleanCategory& row) {
    const HomeLayout& l = h.layout;
    const auto named = [](const char* prefix, const char* suffix) {
        return [=](const QString& stem) {
            return QString::fromUtf8(prefix) + stem + QString::fromUtf8(suffix);
        };
    };
    QStringList kept;
    const auto keep = [&](const QString& path, double daysAgo = 400) {
        writeFile(path, 2000);
        age(path, daysAgo, daysAgo);
        kept << path;
    };
    if (rc.id == "trash") {
        // What an uninstall left there: items moved in by the Trash itself.
        const QString gone = l.home() + "/uninstalled";
        writeFixture(gone, h.outside, plain);
        FreedesktopTrash trash(l.trashDir());
        for (const QString& child : CategoryCleaner::children(gone)) {
            QString error;
            EXPECT_TRUE(trash.moveToTrash(child, &error)) << error.toStdString();
        }
    } else if (rc.id == "logs") {
        writeFixture(l.stateHome() + "/app", h.outside, named("", ".log"));
        keep(l.stateHome() + "/app/state.json");
    } else if (rc.id == "downloads") {
        writeFixture(l.map("Downloads"), h.outside, named("", ".zip"), 200);
        keep(l.map("Downloads") + "/lately.zip", 100);
    } else if (rc.id == "db-backups") {
        writeFixture(l.map("Documents") + "/db", h.outside, named("", ".bak"));
        keep(l.map("Documents") + "/db/report.pdf");
    } else if (rc.id == "dev-node-modules") {
        writeFixture(l.projectFolders().first() + "/app/node_modules", h.outside, plain);
        keep(l.projectFolders().first() + "/app/index.js");
    } else if (rc.cleaner == Cleaner::Screenshots) {
        const QString desk = l.map("Desktop");
        writeFixture(desk, h.outside, named("Screenshot ", ".png"), 40);
        keep(desk + "/Screenshot fresh.png", 1);
        if (rc.id == "screenshots-all") // every screenshot, the fresh one too
            kept.removeLast();
        keep(desk + "/holiday.png");
    } else if (rc.id == "mail-tb-index") {
        writeSparse(row.locations.first());
    } else {
        writeFixture(row.locations.first(), h.outside, plain);
    }
    return kept;
}

class CleanerRow : public ::testing::TestWithParam<RowCase> {};

} // namespace

TEST_P(CleanerRow, ShowsWhatItsCleanTakesAndTakesOnlyThat) {
    const RowCase rc = GetParam();
    Home h("row-" + rc.id);
    if (rc.cleaner == Cleaner::Mail) {
        for (const auto& place : mailPlaces()) {
            if (place.first == rc.id && !place.second.endsWith(".sqlite"))
                QDir().mkpath(h.layout.map(place.second));
            else if (place.first == rc.id)
                writeFile(h.layout.map(place.second), 1);
        }
    }
    std::unique_ptr<CleanupScanner> scanner = scannerFor(rc.cleaner, h);
    const CleanCategory fresh = rowOf(*scanner, rc.id);
    const QStringList kept = placeFixture(rc, h, fresh);

    scanAndWait(*scanner);
    const CleanCategory row = rowOf(*scanner, rc.id);
    ASSERT_FALSE(row.refusal) << CleanerPaneText::metaLine(row).toStdString();
    ASSERT_GT(row.sizeBytes, 0);
    // The confirmation asks about the row's own figure.
    EXPECT_EQ(CleanerPaneText::selectedBytes(scanner->categories(), {rc.id}),
              row.removable ? row.sizeBytes : 0);
    const Held before = held(row.locations);
    const QStringList trashedBefore = h.trashed();

    const CleanResult r = cleanAndWait(*scanner, {rc.id});
    const Held after = held(row.locations);
    EXPECT_TRUE(QFileInfo::exists(h.outside)) << "a link was followed";
    if (!row.removable) {
        EXPECT_EQ(r.cleaned, 0);
        EXPECT_EQ(after.bytes, before.bytes);
        EXPECT_EQ(after.files, before.files);
        return;
    }
    EXPECT_TRUE(r.failures.isEmpty()) << r.failures.join("; ").toStdString();
    EXPECT_EQ(r.freedBytes, row.sizeBytes) << "the result reports what was shown";
    EXPECT_EQ(before.bytes - after.bytes, row.sizeBytes) << "what went is what was shown";
    if (row.measuringMode() == CleanCategory::MeasuringMode::FolderSearch) {
        for (const QString& folder : row.eligibleFiles)
            EXPECT_FALSE(QFileInfo::exists(folder)) << folder.toStdString();
        EXPECT_EQ(row.fileCount, row.eligibleFiles.size());
    } else if (row.measuringMode() == CleanCategory::MeasuringMode::QuickSize) {
        EXPECT_EQ(before.entries - after.entries, row.fileCount);
        EXPECT_EQ(after.entries, 0);
    } else {
        EXPECT_EQ(before.files - after.files, row.fileCount);
    }
    for (const QString& path : kept)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();

    if (rc.id == "trash") {
        // Erased for good, records and all.
        EXPECT_EQ(after.entries, 0);
        EXPECT_TRUE(h.trashed().isEmpty());
    } else {
        // Each item moved can be put back: the Trash has its record.
        EXPECT_EQ(h.trashed().size() - trashedBefore.size(), r.cleaned);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTable, CleanerRow, ::testing::ValuesIn(allRows()),
                         [](const ::testing::TestParamInfo<RowCase>& info) {
                             return QString(info.param.id).replace('-', '_').toStdString();
                         });

TEST(CleanerRows, EveryMailRowIsTried) {
    Home h("mail-all");
    for (const auto& place : mailPlaces())
        writeFile(h.layout.map(place.second) + (place.second.endsWith(".sqlite") ? "" : "/x"), 1);
    QStringList tried;
    for (const auto& place : mailPlaces())
        tried << place.first;
    EXPECT_EQ(testsupport::strings(MailCleanupScanner::locations(h.layout), &CleanCategory::id),
              tried);
}

TEST(CleanerRows, ACleanThatTakesNothingSaysWhy) {
    Home h("row-refused-all");
    // The Trash refuses a folder another file system is mounted in; here every item is one.
    const QString cache = h.layout.cacheHome();
    writeFile(cache + "/tool/mnt/data", 100);
    FreedesktopTrash::Deps trashDeps;
    trashDeps.deviceOf = [mount = QFile::encodeName(cache + "/tool/mnt")](const QByteArray& path,
                                                                          quint64 device) {
        return path == mount || path.startsWith(mount + "/") ? quint64(4242) : device;
    };
    auto trash = std::make_shared<FreedesktopTrash>(h.layout.trashDir(), trashDeps);
    CleanupScanner::Deps deps = h.deps;
    deps.trash = trash;
    DiskCleanupScanner scanner(h.layout, deps);
    scanAndWait(scanner);
    const QString line = CleanerPaneText::resultLine(cleanAndWait(scanner, {"caches"}));
    EXPECT_EQ(line, "Nothing was cleaned · 1 item skipped · tool: Another folder is mounted inside "
                    "it · tool was left in place: another folder is mounted in it");
    EXPECT_TRUE(CleanerPaneText::resultIsProblem(line));
    EXPECT_TRUE(QFileInfo::exists(cache + "/tool/mnt/data"));
}
