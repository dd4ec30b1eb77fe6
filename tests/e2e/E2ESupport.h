#pragma once

// Homes for end-to-end runs: a fresh home inside the test's sandbox, its real freedesktop Trash,
// the real measurer (the directory walker and `du`), the real cleaner and guard, and fixture
// trees of real files with real ages.
#include "cleaning/CleaningTestSupport.h"
#include "cleaning/CleanupScanner.h"
#include "platform/FreedesktopTrash.h"

#include <fcntl.h>
#include <ostream>
#include <QDir>
#include <QDirIterator>
#include <unistd.h>

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace e2e {

using namespace cleaningtest;

// A home of its own, with everything the cleaners use on it as the app builds it.
struct Home {
    HomeLayout layout;
    CleanupScanner::Deps deps;
    // A file outside every cleaned place, for the links of the fixtures to point at.
    QString outside;

    explicit Home(const QString& name)
        : layout(HomeLayout::forHome(testsupport::freshDir(name))),
          deps(CleanupScanner::Deps::system(layout)),
          outside(layout.home() + QStringLiteral("/elsewhere/target.txt")) {
        writeFile(outside, 300);
    }

    QString items() const { return layout.trashDir() + QStringLiteral("/files"); }
    QString infos() const { return layout.trashDir() + QStringLiteral("/info"); }
    // The names the Trash keeps records for.
    QStringList trashed() const {
        QStringList names = QDir(infos()).entryList(QDir::Files | QDir::Hidden);
        names.sort();
        return names;
    }
};

// A file of `bytes` whose blocks are mostly holes: one page written at 1 MB into 8 MB.
inline void writeSparse(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const QByteArray page(4096, 's');
    EXPECT_EQ(::pwrite(fd, page.constData(), page.size(), 1 << 20), page.size());
    EXPECT_EQ(::ftruncate(fd, 8 << 20), 0);
    ::close(fd);
}

inline void hardLink(const QString& target, const QString& at) {
    QDir().mkpath(QFileInfo(at).path());
    ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()), 0);
}

// The tree every row is tried on, below folder: a package-named folder, a plain folder, a file,
// a second name of that file (and a third inside the plain folder), a sparse file and a link
// to a file outside. Files get name(stem) as their names (an extension or a prefix a row looks
// for) and are last opened daysAgo days ago. Returns the regular files' paths.
inline QStringList writeFixture(const QString& folder, const QString& outside,
                                const std::function<QString(const QString&)>& name,
                                double daysAgo = 400) {
    QStringList files = {
        folder + QStringLiteral("/Editor.app/Contents/MacOS/") + name(QStringLiteral("editor")),
        folder + QStringLiteral("/Editor.app/Contents/") + name(QStringLiteral("info")),
        folder + QStringLiteral("/plain/") + name(QStringLiteral("notes")),
        folder + QStringLiteral("/plain/sub/") + name(QStringLiteral("deep")),
        folder + QStringLiteral("/") + name(QStringLiteral("file")),
    };
    writeFile(files.at(0), 60000);
    writeFile(files.at(1), 900);
    writeFile(files.at(2), 5000);
    writeFile(files.at(3), 3000);
    writeFile(files.at(4), 7000);
    for (const QString& again :
         {folder + QStringLiteral("/") + name(QStringLiteral("hardlink")),
          folder + QStringLiteral("/plain/") + name(QStringLiteral("same"))}) {
        hardLink(files.at(4), again);
        files.append(again);
    }
    files.append(folder + QStringLiteral("/") + name(QStringLiteral("sparse")));
    writeSparse(files.last());
    symlinkTo(outside, folder + QStringLiteral("/") + name(QStringLiteral("link")));
    for (const QString& f : files)
        age(f, daysAgo, daysAgo);
    return files;
}

// Scans and waits until the scan is done.
inline void scanAndWait(CleanupScanner& scanner) {
    scanner.scan();
    EXPECT_TRUE(
        testsupport::waitFor([&] { return scanner.state().phase == ScanPhase::Done; }, 60000));
}

inline const CleanCategory& rowOf(const CleanupScanner& scanner, const QString& id) {
    const qsizetype i = CleanCategories::indexOf(scanner.categories(), id);
    EXPECT_GE(i, 0) << id.toStdString();
    static const CleanCategory none;
    return i >= 0 ? scanner.categories().at(i) : none;
}

// What a set of places holds, taken whole: bytes as `du` counts them (each inode once over all
// the places) and the regular files and direct entries.
struct Held {
    qint64 bytes = 0;
    int files = 0;
    int entries = 0;
};
inline Held held(const QStringList& places) {
    Held h;
    QSet<QPair<quint64, quint64>> seen;
    for (const QString& place : places) {
        struct stat st;
        if (::lstat(QFile::encodeName(place).constData(), &st) != 0)
            continue;
        if (!S_ISDIR(st.st_mode)) {
            h.bytes += qint64(st.st_blocks) * 512;
            h.files += S_ISREG(st.st_mode) ? 1 : 0;
            h.entries += 1;
            continue;
        }
        h.entries += int(
            QDir(place)
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                .size());
        QDirIterator it(place,
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QByteArray path = QFile::encodeName(it.next());
            if (::lstat(path.constData(), &st) != 0)
                continue;
            if (S_ISREG(st.st_mode))
                ++h.files;
            if (!seen.contains({quint64(st.st_dev), quint64(st.st_ino)})) {
                seen.insert({quint64(st.st_dev), quint64(st.st_ino)});
                h.bytes += qint64(st.st_blocks) * 512;
            }
        }
    }
    return h;
}

} // namespace e2e
