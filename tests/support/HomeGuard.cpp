#include "support/HomeGuard.h"

#include "platform/HomeLayout.h"

#include <QDirIterator>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

constexpr auto kAll = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString stamp(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("absent");
    return QStringLiteral("%1.%2/%3")
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec)
        .arg(st.st_size);
}

// The app's own entries in a folder: Pendrel, pendrel-…, .pendrel…, whatever the case.
bool isTheAppsName(const QString& name) {
    const QString n = name.startsWith(QLatin1Char('.')) ? name.mid(1) : name;
    return n.startsWith(QLatin1String("pendrel"), Qt::CaseInsensitive);
}

void walk(const QString& root, QMap<QString, QString>& out) {
    if (!QFileInfo::exists(root) && !QFileInfo(root).isSymLink())
        return;
    out.insert(root, QFileInfo(root).isDir() && !QFileInfo(root).isSymLink()
                         ? QStringLiteral("folder")
                         : stamp(root));
    QDirIterator it(root, kAll, QDirIterator::Subdirectories);
    int budget = 20000; // a huge real Trash is not worth a slow test run
    while (it.hasNext() && budget-- > 0) {
        const QString p = it.next();
        out.insert(p, it.fileInfo().isDir() && !it.fileInfo().isSymLink() ? QStringLiteral("folder")
                                                                          : stamp(p));
    }
}

} // namespace

HomeGuard::HomeGuard(const HomeLayout& real) {
    const QString home = real.home();
    if (home.isEmpty() || home == QLatin1String("/"))
        return;
    m_named = {home, real.configHome(), real.dataHome(), real.cacheHome(), real.stateHome()};
    m_walked = {real.trashDir(), real.autostartDir(),
                real.dataHome() + QStringLiteral("/applications"),
                real.dataHome() + QStringLiteral("/keyrings")};
    m_before = snapshot();
}

// A folder is recorded by its entries, not its own time: its time changes with any entry added
// by anyone, its entries only with what was written in it.
QMap<QString, QString> HomeGuard::snapshot() const {
    QMap<QString, QString> out;
    for (const QString& folder : m_named) {
        const QFileInfoList entries = QDir(folder).entryInfoList(kAll);
        for (const QFileInfo& entry : entries) {
            if (isTheAppsName(entry.fileName()))
                walk(entry.filePath(), out);
        }
    }
    for (const QString& root : m_walked)
        walk(root, out);
    return out;
}

QStringList HomeGuard::changes() const {
    if (m_named.isEmpty())
        return {};
    const QMap<QString, QString> after = snapshot();
    QStringList out;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const auto before = m_before.constFind(it.key());
        if (before == m_before.cend())
            out << QStringLiteral("created: %1").arg(it.key());
        else if (before.value() != it.value())
            out << QStringLiteral("changed: %1").arg(it.key());
    }
    for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
        if (!after.contains(it.key()))
            out << QStringLiteral("removed: %1").arg(it.key());
    }
    return out;
}
