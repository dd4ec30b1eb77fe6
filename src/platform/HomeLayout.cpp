#include "platform/HomeLayout.h"

#include "platform/AppDataPlace.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
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

// True when a base folder set to this value would have the cleaners search or empty what is not
// app data (the home's own and secret folders, the shared and the live system places).
bool isRefusedBase(const QString& value, const HomeLayout& l, const QString& runtime) {
    return AppDataPlace::refusal(value, AppDataPlace::keptFor(l.home(),
                                                              l.userFolders() + l.projectFolders(),
                                                              l.dataHome(), runtime))
        .has_value();
}

void readUserDirs(HomeLayout& layout) {
    QFile dirs(layout.configHome() + QStringLiteral("/user-dirs.dirs"));
    if (dirs.open(QIODevice::ReadOnly))
        layout.applyUserDirs(QString::fromUtf8(dirs.readAll()));
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
    return fromEnvironment(QProcessEnvironment::systemEnvironment());
}

HomeLayout HomeLayout::fromEnvironment(const QProcessEnvironment& env) {
    QString home = env.value(QStringLiteral("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    const HomeLayout defaults = forHome(home);
    HomeLayout l = defaults;
    const QString runtimeRaw = env.value(QStringLiteral("XDG_RUNTIME_DIR"));
    const QString runtime = QDir::isAbsolutePath(runtimeRaw) ? cleanDir(runtimeRaw) : QString();
    // The value of a base-folder variable, or its default with the reason recorded.
    const auto pick = [&](const char* name, const QString& fallback) {
        const QString raw = env.value(QString::fromLatin1(name));
        if (raw.isEmpty())
            return fallback;
        // The base-directory rules ignore relative paths.
        const bool relative = !QDir::isAbsolutePath(raw);
        if (!relative && !isRefusedBase(raw, l, runtime))
            return cleanDir(raw);
        l.m_ignored.append({QString::fromLatin1(name), raw, fallback, relative});
        return fallback;
    };

    // The user folders are named in a file inside the settings folder, so that folder is settled
    // first against the default user folders, then once more against the ones its file names.
    l.m_config = pick("XDG_CONFIG_HOME", defaults.m_config);
    readUserDirs(l);
    if (l.m_config != defaults.m_config && isRefusedBase(l.m_config, l, runtime)) {
        l.m_ignored.append({QStringLiteral("XDG_CONFIG_HOME"),
                            env.value(QStringLiteral("XDG_CONFIG_HOME")), defaults.m_config,
                            false});
        const QList<IgnoredVariable> ignored = l.m_ignored;
        l = defaults;
        l.m_ignored = ignored;
        readUserDirs(l);
    }
    l.m_data = pick("XDG_DATA_HOME", defaults.m_data);
    l.m_cache = pick("XDG_CACHE_HOME", defaults.m_cache);
    l.m_state = pick("XDG_STATE_HOME", defaults.m_state);
    l.m_runtime = runtime;
    return l;
}

QList<HomeLayout::IgnoredVariable> HomeLayout::ignoredVariablesFor(const QStringList& paths) const {
    QList<IgnoredVariable> out;
    for (const IgnoredVariable& v : m_ignored) {
        const bool used = std::any_of(paths.begin(), paths.end(), [&](const QString& p) {
            return p == v.usedInstead || p.startsWith(v.usedInstead + QLatin1Char('/'));
        });
        if (used)
            out.append(v);
    }
    return out;
}

QStringList HomeLayout::projectFolders() const {
    QStringList out;
    for (const char* name : {"Developer", "Projects", "src", "code", "work"})
        out.append(m_home + QLatin1Char('/') + QString::fromLatin1(name));
    return out;
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
        // xdg-user-dirs writes "$HOME/" for a disabled folder: that is not a folder of its own,
        // and neither is a folder above the home, whose contents are not the user's alone.
        if (value == m_home || value == QLatin1String("/") ||
            m_home.startsWith(value + QLatin1Char('/')))
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
