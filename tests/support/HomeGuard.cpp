#include "support/HomeGuard.h"

#include <QDirIterator>
#include <QFileInfo>
#include <sys/stat.h>

namespace {

QString stamp(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("absent");
    return QStringLiteral("%1.%2/%3")
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec)
        .arg(st.st_size);
}

} // namespace

HomeGuard::HomeGuard(const QString& realHome) : m_home(realHome) {
    if (m_home.isEmpty() || m_home == QLatin1String("/"))
        return;
    const QStringList rel = {
        QString(),
        ".config",
        ".local",
        ".local/share",
        ".local/state",
        ".cache",
        "Desktop",
        "Downloads",
        "Documents",
        "Pictures",
        "Videos",
        "Music",
        ".local/share/Trash",
        ".local/share/Trash/files",
        ".local/share/Trash/info",
        ".config/autostart",
        ".config/Pendrel",
        ".local/share/Pendrel",
        ".cache/Pendrel",
        ".config/Pendrel/defaults.d",
    };
    for (const QString& r : rel)
        m_watched << (r.isEmpty() ? m_home : m_home + QLatin1Char('/') + r);
    m_walked = {m_home + "/.config/Pendrel", m_home + "/.local/share/Pendrel",
                m_home + "/.local/share/Trash", m_home + "/.config/autostart"};
    m_before = snapshot();
}

QMap<QString, QString> HomeGuard::snapshot() const {
    QMap<QString, QString> out;
    for (const QString& path : m_watched)
        out.insert(path, stamp(path));
    for (const QString& root : m_walked) {
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        int budget = 20000; // a huge real Trash is not worth a slow test run
        while (it.hasNext() && budget-- > 0) {
            const QString p = it.next();
            out.insert(p, stamp(p));
        }
    }
    return out;
}

QStringList HomeGuard::changes() const {
    if (m_watched.isEmpty())
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
