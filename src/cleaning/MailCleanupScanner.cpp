#include "cleaning/CleanupScanner.h"
#include "platform/DirectoryWalker.h"

#include <algorithm>
#include <QFileInfo>

namespace {

struct MailRow {
    const char* id;
    const char* name;
    const char* plainDescription;
    bool onByDefault;
    bool removable;
};

CleanCategory mailRow(const MailRow& r, const QStringList& locations) {
    CleanCategory c;
    c.id = QString::fromUtf8(r.id);
    c.name = QString::fromUtf8(r.name);
    c.plainDescription = QString::fromUtf8(r.plainDescription);
    c.locations = locations;
    c.onByDefault = r.onByDefault;
    c.removable = r.removable;
    c.safety = TamsoSafety::Safe;
    return c;
}

QStringList under(const QStringList& folders, const char* child) {
    QStringList out;
    for (const QString& f : folders)
        out.append(f + QLatin1Char('/') + QString::fromUtf8(child));
    return out;
}

} // namespace

MailCleanupScanner::MailCleanupScanner(const HomeLayout& layout, Deps deps, QObject* parent)
    : CleanupScanner(locations(layout), std::move(deps), parent), m_layout(layout) {}

void MailCleanupScanner::scan() {
    setCategories(locations(m_layout));
    CleanupScanner::scan();
}

QStringList MailCleanupScanner::existingLocations(const QStringList& paths) {
    QStringList out;
    for (const QString& p : paths) {
        if (QFileInfo::exists(p))
            out.append(p);
    }
    return out;
}

QStringList MailCleanupScanner::thunderbirdProfiles(const HomeLayout& layout) {
    const QString folder = layout.map(QStringLiteral("Library/Thunderbird/Profiles"));
    QStringList profiles;
    DirectoryWalker().walk(folder, [&](const DirectoryWalker::Entry& e) {
        if (e.depth == 0)
            return DirectoryWalker::Action::Continue;
        if (e.isDirectory() && !e.isHidden())
            profiles.append(e.path());
        return DirectoryWalker::Action::SkipChildren;
    });
    std::sort(profiles.begin(), profiles.end());
    return profiles;
}

QList<CleanCategory> MailCleanupScanner::locations(const HomeLayout& layout) {
    static const MailRow rows[] = {
        {"mail-apple-downloads", "Apple Mail attachment copies",
         "Copies Mail made of attachments you opened. The originals are still in the messages "
         "themselves, so these are duplicates taking up room.",
         true, true},
        {"mail-apple-caches", "Apple Mail caches",
         "Working files Mail rebuilds by itself the next time it needs them.", true, true},
        {"mail-apple-store", "Apple Mail, all your mail",
         "Every message Mail holds on this Mac. Shown so you can see the size. Pendrel will not "
         "touch it: to reclaim space here, delete old mail inside Mail itself so the change "
         "reaches your account properly.",
         false, false},
        {"mail-tb-imap", "Thunderbird downloaded IMAP mail",
         "A local copy of mail that also lives on your mail server. Thunderbird downloads it "
         "again when you next open those folders.",
         true, true},
        {"mail-tb-index", "Thunderbird search index",
         "Thunderbird's index of your mail so it can search quickly. It rebuilds itself, which "
         "takes a while but costs nothing.",
         false, true},
        {"mail-tb-caches", "Thunderbird caches", "Temporary working files. Rebuilt automatically.",
         true, true},
        {"mail-tb-local", "Thunderbird local and POP mail",
         "Mail held only on this Mac, including Local Folders and any POP account. There is no "
         "copy of this on a server. Shown for size only, never removed.",
         false, false},
        {"mail-outlook-caches", "Outlook caches", "Temporary files Outlook rebuilds on its own.",
         true, true},
        {"mail-outlook-store", "Outlook, all your mail",
         "Outlook's own database of your mail and calendars. Shown so you can see the size. "
         "Removing any of it by hand corrupts the profile, so Pendrel will not: use Outlook's own "
         "account settings to reduce what it keeps offline.",
         false, false},
    };
    auto fixed = [&](std::initializer_list<const char*> relative) {
        QStringList paths;
        for (const char* r : relative)
            paths.append(QString::fromUtf8(r));
        return CleanCategories::mapLocations(layout, paths);
    };
    const QStringList profiles = thunderbirdProfiles(layout);
    const QStringList candidates[] = {
        fixed({"Library/Mail Downloads",
               "Library/Containers/com.apple.mail/Data/Library/Mail Downloads"}),
        fixed({"Library/Containers/com.apple.mail/Data/Library/Caches",
               "Library/Caches/com.apple.mail"}),
        fixed({"Library/Mail"}),
        under(profiles, "ImapMail"),
        under(profiles, "global-messages-db.sqlite"),
        fixed({"Library/Caches/Thunderbird", "Library/Caches/org.mozilla.thunderbird"}),
        under(profiles, "Mail"),
        fixed({"Library/Caches/com.microsoft.Outlook",
               "Library/Group Containers/UBF8T346G9.Office/Outlook/Outlook 15 Profiles/Main "
               "Profile/Data/Cache"}),
        fixed({"Library/Group Containers/UBF8T346G9.Office/Outlook"}),
    };
    QList<CleanCategory> table;
    for (size_t i = 0; i < std::size(rows); ++i) {
        const QStringList present = existingLocations(candidates[i]);
        if (!present.isEmpty())
            table.append(mailRow(rows[i], present));
    }
    return CleanCategories::withIgnoredVariables(layout, std::move(table));
}
