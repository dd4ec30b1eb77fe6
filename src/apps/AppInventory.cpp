#include "apps/AppInventory.h"

#include "platform/AppBundle.h"
#include "platform/DirectoryWalker.h"
#include "platform/ParallelLoop.h"

#include <algorithm>
#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace AppInventory {

QStringList applicationFolders(const QString& home) {
    return {QStringLiteral("/Applications"), QStringLiteral("/Applications/Utilities"),
            QDir::cleanPath(home + QStringLiteral("/Applications"))};
}

bool isApplicationName(const QString& fileName, bool isDirectory) {
    if (fileName.startsWith(QLatin1Char('.')))
        return false;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return false;
    const QStringView extension = QStringView(fileName).mid(dot + 1);
    if (extension == QLatin1String("app"))
        return true;
    // An AppImage is one executable file; a folder of that name is not one.
    return !isDirectory && extension == QLatin1String("AppImage");
}

void sortByName(QList<InstalledApp>& apps) {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(), [&](const InstalledApp& a, const InstalledApp& b) {
        const int order = collator.compare(a.name, b.name);
        if (order != 0)
            return order < 0;
        // A collator may call names equal that differ only in case; ordering them by their
        // lower-case form keeps the list the same on every run.
        return a.name.toLower() < b.name.toLower();
    });
}

QList<InstalledApp> scan(const QStringList& folders, const CancelToken& cancel) {
    QList<InstalledApp> apps;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QFileInfoList children =
            dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
        for (const QFileInfo& child : children) {
            if (cancel.isCancelled())
                return apps;
            const QString fileName = child.fileName();
            if (!isApplicationName(fileName, child.isDir()))
                continue;
            const QString path = QDir::cleanPath(child.absoluteFilePath());
            InstalledApp app;
            app.bundleID = AppBundle::identifier(path);
            app.name = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
            app.id = path;
            app.appSizeBytes = bundleSize(path, cancel);
            app.url = QUrl::fromLocalFile(path);
            apps.append(app);
        }
    }
    sortByName(apps);
    return apps;
}

qint64 bundleSize(const QString& path, const CancelToken& cancel) {
    DirectoryWalker::Options options;
    options.threads = ParallelLoop::diskThreads();
    options.followRootSymlink = false;
    const DirectoryWalker walker(options, cancel);
    PerWorker<qint64> sums(walker.threads());
    walker.walk(path, [&](const DirectoryWalker::Entry& e) {
        if (e.isDirectory()) {
            if (e.depth > 0 && AppBundle::isPackageName(e.fileName()))
                return DirectoryWalker::Action::SkipChildren;
            return DirectoryWalker::Action::Continue;
        }
        if (e.isFile() && !e.repeatLink)
            sums.slot(e.worker) += e.allocatedBytes;
        return DirectoryWalker::Action::Continue;
    });
    return sums.fold(qint64(0), [](qint64 total, qint64 part) { return total + part; });
}

} // namespace AppInventory
