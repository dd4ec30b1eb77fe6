#pragma once

#include "platform/HomeLayout.h"
#include "platform/JsonFields.h"
#include "storage/FolderOrganizer.h"
#include "storage/OrganizerJournals.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSignalSpy>
#include <QUuid>
#include <sys/stat.h>
#include <utime.h>

// Readable failures for the organizer's state.
inline void PrintTo(const FolderOrganizer::State& s, std::ostream* os) {
    *os << "kind " << int(s.kind) << " done " << s.done << "/" << s.total << " moved " << s.moved
        << " failed " << s.failed << (s.undo ? " (undo)" : "") << " \"" << s.message.toStdString()
        << "\"";
}

namespace organizertest {

// A home whose data folder (and so the journals) lies inside it, under .local.
inline HomeLayout layoutFor(const QString& home) {
    return HomeLayout::forHome(home);
}

// Writes the text and sets the modification time (default: 40 days before now).
inline void makeFile(const QString& path, const QByteArray& bytes = "x",
                     QDateTime mtime = QDateTime::currentDateTimeUtc().addDays(-40)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(bytes);
    f.close();
    struct utimbuf times;
    times.actime = times.modtime = time_t(mtime.toSecsSinceEpoch());
    ::utime(QFile::encodeName(path).constData(), &times);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry below root except the app's data under .local: path → size, hash and mtime of a
// file, "dir" for a folder, "link" for a symlink.
inline QMap<QString, QString> snapshot(const QString& root) {
    QMap<QString, QString> out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(root.size() + 1);
        if (rel.startsWith(QLatin1String(".local")))
            continue;
        struct stat st;
        ::lstat(QFile::encodeName(path).constData(), &st);
        if (S_ISLNK(st.st_mode))
            out.insert(rel, QStringLiteral("link"));
        else if (S_ISDIR(st.st_mode))
            out.insert(rel, QStringLiteral("dir"));
        else
            out.insert(rel,
                       QStringLiteral("%1 %2 %3.%4")
                           .arg(st.st_size)
                           .arg(QString::fromLatin1(
                               QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256)
                                   .toHex()))
                           .arg(qint64(st.st_mtim.tv_sec))
                           .arg(qint64(st.st_mtim.tv_nsec)));
    }
    return out;
}

// Where the plan's moves go, in its order.
inline QStringList destinations(const OrganizerPlan& plan) {
    QStringList out;
    for (const OrganizerMove& m : plan.moves)
        out << m.destinationPath;
    return out;
}

// A fresh home, its layout and the Downloads folder most runs sort.
struct FreshHome {
    QString home;
    HomeLayout layout;
    QString dl;
};
inline FreshHome freshHome(const QString& name) {
    const QString home = testsupport::freshDir(name);
    const HomeLayout layout = layoutFor(home);
    return {home, layout, layout.downloadsDir()};
}

// Until no preview is being made and no run goes on.
inline bool untilSettled(FolderOrganizer& organizer) {
    return testsupport::waitFor([&] {
        const FolderOrganizer::State s = organizer.state();
        return !s.isBusy() && s.kind != FolderOrganizer::State::Kind::Planning;
    });
}

// A plan made and published through the event loop, as the pane does it.
inline void planNow(FolderOrganizer& organizer) {
    organizer.makePlan();
    ASSERT_TRUE(untilSettled(organizer));
}

// Reads the history as the pane does and waits until it is published (the first time, for a
// history with a step to settle).
inline void readHistory(FolderOrganizer& organizer) {
    QSignalSpy published(&organizer, &FolderOrganizer::historyChanged);
    organizer.loadHistory();
    ASSERT_TRUE(published.wait(20'000));
}

// An empty journal of this home with a fresh id.
inline OrganizerJournal journalFor(const QString& home, double startedAt = 0) {
    OrganizerJournal j;
    j.id = JsonFields::uuidText(QUuid::createUuid());
    j.startedAt = startedAt;
    j.homePath = home;
    return j;
}

// Puts bytes in the journal folder under fileName, as a run (or something else) left them.
inline void writeJournal(const HomeLayout& layout, const QString& fileName,
                         const QByteArray& bytes) {
    const QString dir = OrganizerJournals(layout).directory();
    QDir().mkpath(dir);
    QFile f(dir + "/" + fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace organizertest
