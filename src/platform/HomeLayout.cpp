#include "platform/HomeLayout.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <utility>
#include <vector>

namespace {

QString cleanDir(const QString& path) {
    QString p = QDir::cleanPath(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

QString xdgOr(const char* name, const QString& fallback) {
    const QString v = qEnvironmentVariable(name);
    // The base-directory rules ignore relative paths.
    return (v.isEmpty() || !QDir::isAbsolutePath(v)) ? fallback : cleanDir(v);
}

} // namespace

HomeLayout HomeLayout::forHome(const QString& homeIn) {
    HomeLayout l;
    const QString home = cleanDir(homeIn);
    l.m_home = home;
    l.m_config = home + QStringLiteral("/.config");
    l.m_data = home + QStringLiteral("/.local/share");
    l.m_cache = home + QStringLiteral("/.cache");
    l.m_state = home + QStringLiteral("/.local/state");
    l.m_desktop = home + QStringLiteral("/Desktop");
    l.m_downloads = home + QStringLiteral("/Downloads");
    l.m_documents = home + QStringLiteral("/Documents");
    l.m_pictures = home + QStringLiteral("/Pictures");
    l.m_movies = home + QStringLiteral("/Videos");
    l.m_music = home + QStringLiteral("/Music");
    return l;
}

HomeLayout HomeLayout::fromEnvironment() {
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        home = QDir::homePath();
    HomeLayout l = forHome(home);
    l.m_config = xdgOr("XDG_CONFIG_HOME", l.m_config);
    l.m_data = xdgOr("XDG_DATA_HOME", l.m_data);
    l.m_cache = xdgOr("XDG_CACHE_HOME", l.m_cache);
    l.m_state = xdgOr("XDG_STATE_HOME", l.m_state);
    l.m_runtime = xdgOr("XDG_RUNTIME_DIR", QString());
    QFile dirs(l.m_config + QStringLiteral("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly))
        l.applyUserDirs(QString::fromUtf8(dirs.readAll()));
    return l;
}

void HomeLayout::applyUserDirs(const QString& text) {
    static const QRegularExpression line(
        QStringLiteral(R"(^\s*XDG_([A-Z]+)_DIR\s*=\s*"([^"]*)\"\s*$)"));
    const std::pair<const char*, QString*> targets[] = {
        {"DESKTOP", &m_desktop},   {"DOWNLOAD", &m_downloads}, {"DOCUMENTS", &m_documents},
        {"PICTURES", &m_pictures}, {"VIDEOS", &m_movies},      {"MUSIC", &m_music},
    };
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const auto m = line.match(raw);
        if (!m.hasMatch())
            continue;
        QString value = m.captured(2);
        if (value.startsWith(QLatin1String("$HOME")))
            value = m_home + value.mid(5);
        if (!QDir::isAbsolutePath(value))
            continue;
        value = cleanDir(value);
        // xdg-user-dirs writes "$HOME/" for a disabled folder: that is not a folder of its own.
        if (value == m_home)
            continue;
        for (const auto& [key, slot] : targets) {
            if (m.captured(1) == QLatin1String(key))
                *slot = value;
        }
    }
}

void HomeLayout::setSystemRoot(const QString& v) {
    const QString root = cleanDir(v);
    m_systemRoot = root == QLatin1String("/") ? QString() : root;
}

QStringList HomeLayout::systemApplicationDirs() const {
    return {m_systemRoot + QStringLiteral("/opt"),
            m_systemRoot + QStringLiteral("/var/lib/flatpak/app")};
}

QStringList HomeLayout::userApplicationDirs() const {
    return {m_home + QStringLiteral("/Applications"), m_data + QStringLiteral("/flatpak/app")};
}

QStringList HomeLayout::logFolders() const {
    return {m_state, m_data + QStringLiteral("/xorg")};
}

QStringList HomeLayout::sessionLogs() const {
    return {m_home + QStringLiteral("/.xsession-errors"),
            m_home + QStringLiteral("/.xsession-errors.old")};
}

QString HomeLayout::map(const QString& homeRelative) const {
    QString rel = homeRelative;
    if (rel.startsWith(QLatin1String("~/")))
        rel = rel.mid(2);
    while (rel.startsWith(QLatin1Char('/')))
        rel = rel.mid(1);
    while (rel.endsWith(QLatin1Char('/')))
        rel.chop(1);
    if (rel.isEmpty())
        return m_home;

    // Rows: the other platform's home-relative prefix and the folder it stands for here.
    const std::vector<std::pair<QString, QString>> rows = {
        {QStringLiteral(".Trash"), trashDir()},
        {QStringLiteral("Library/Caches"), m_cache},
        {QStringLiteral("Library/Caches/Yarn"), m_cache + QStringLiteral("/yarn")},
        {QStringLiteral("Library/Caches/pypoetry"), m_cache + QStringLiteral("/pypoetry")},
        {QStringLiteral("Library/Caches/Mozilla/thunderbird"),
         m_cache + QStringLiteral("/thunderbird")},
        {QStringLiteral("Library/Caches/Thunderbird"), m_cache + QStringLiteral("/thunderbird")},
        {QStringLiteral("Library/Application Support"), m_data},
        {QStringLiteral("Library/Application Support/LM Studio"),
         m_home + QStringLiteral("/.lmstudio")},
        {QStringLiteral("Library/Preferences"), m_config},
        {QStringLiteral("Library/Saved Application State"), m_state},
        {QStringLiteral("Library/LaunchAgents"), autostartDir()},
        {QStringLiteral("Library/Containers"), m_home + QStringLiteral("/.var/app")},
        {QStringLiteral("Library/Thunderbird/Profiles"), m_home + QStringLiteral("/.thunderbird")},
        {QStringLiteral("Library/Android/sdk/.temp"),
         m_home + QStringLiteral("/Android/Sdk/.temp")},
        {QStringLiteral("Downloads"), m_downloads},
        {QStringLiteral("Documents"), m_documents},
        {QStringLiteral("Desktop"), m_desktop},
        {QStringLiteral("Pictures"), m_pictures},
        {QStringLiteral("Movies"), m_movies},
        {QStringLiteral("Music"), m_music},
    };
    const std::pair<QString, QString>* best = nullptr;
    for (const auto& row : rows) {
        const QString& prefix = row.first;
        const bool matches =
            rel == prefix || (rel.startsWith(prefix) && rel.at(prefix.size()) == QLatin1Char('/'));
        if (matches && (!best || prefix.size() > best->first.size()))
            best = &row;
    }
    if (!best)
        return m_home + QLatin1Char('/') + rel;
    return best->second + rel.mid(best->first.size());
}
