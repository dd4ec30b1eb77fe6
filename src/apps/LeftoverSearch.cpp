#include "apps/LeftoverSearch.h"

#include "apps/AppInventory.h"
#include "platform/DisplayText.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

QString folded(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toLower();
}

// The name without its last extension, as a file manager strips it ("a.plist" → "a"); a name
// whose only dot leads it has no extension.
QString stemOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString cleanPath(const QString& path) {
    QString p = QDir::cleanPath(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

} // namespace

QString LeftoverItem::fileName() const {
    return QFileInfo(path).fileName();
}

namespace LeftoverSearch {

QList<Folder> folders(const HomeLayout& layout) {
    const std::pair<const char*, const char*> table[] = {
        {"Application Support", "Application Support"},
        {"Caches", "Caches"},
        {"Preferences", "Preferences"},
        {"Containers", "Containers"},
        {"Group Containers", "Group Containers"},
        {"Saved State", "Saved Application State"},
        {"Logs", "Logs"},
        {"Cookies", "Cookies"},
        {"HTTP Storage", "HTTPStorages"},
        {"WebKit data", "WebKit"},
        {"Launch Agents", "LaunchAgents"},
    };
    QList<Folder> out;
    for (const auto& [label, folder] : table)
        out.append({QString::fromUtf8(label),
                    layout.map(QStringLiteral("Library/") + QString::fromUtf8(folder))});
    return out;
}

bool isInfrastructure(const QString& fileName) {
    // What the desktop itself keeps in the data, config, cache and state folders. Applications
    // are not named like these; a bundle that is (or an identifier made of such a word) must
    // still never take the user's keyrings, Trash or session setup with it.
    static const QSet<QString> names = {
        // data home
        QStringLiteral("keyrings"),
        QStringLiteral("trash"),
        QStringLiteral("applications"),
        QStringLiteral("flatpak"),
        QStringLiteral("icons"),
        QStringLiteral("mime"),
        QStringLiteral("fonts"),
        QStringLiteral("themes"),
        QStringLiteral("sounds"),
        QStringLiteral("desktop-directories"),
        QStringLiteral("recently-used.xbel"),
        QStringLiteral("gvfs-metadata"),
        QStringLiteral("dbus-1"),
        QStringLiteral("systemd"),
        QStringLiteral("xdg-desktop-portal"),
        QStringLiteral("user-places.xbel"),
        QStringLiteral("gnome-shell"),
        QStringLiteral("kwalletd"),
        QStringLiteral("tracker"),
        QStringLiteral("tracker3"),
        QStringLiteral("containers"),
        // config home
        QStringLiteral("autostart"),
        QStringLiteral("dconf"),
        QStringLiteral("environment.d"),
        QStringLiteral("user-dirs.dirs"),
        QStringLiteral("user-dirs.locale"),
        QStringLiteral("mimeapps.list"),
        QStringLiteral("menus"),
        QStringLiteral("fontconfig"),
        QStringLiteral("gtk-2.0"),
        QStringLiteral("gtk-3.0"),
        QStringLiteral("gtk-4.0"),
        QStringLiteral("pulse"),
        QStringLiteral("pipewire"),
        QStringLiteral("wireplumber"),
        QStringLiteral("ibus"),
        QStringLiteral("kdeglobals"),
        QStringLiteral("monitors.xml"),
        QStringLiteral("gnome-session"),
        QStringLiteral("xsettingsd"),
        QStringLiteral("qt5ct"),
        QStringLiteral("qt6ct"),
        // cache home
        QStringLiteral("thumbnails"),
        QStringLiteral("mesa_shader_cache"),
        QStringLiteral("nvidia"),
        QStringLiteral("ksycoca6"),
        QStringLiteral("ksycoca5"),
    };
    return names.contains(fileName.toLower());
}

Keys keysFor(const InstalledApp& app) {
    Keys keys;
    if (app.bundleID) {
        const QString id = folded(*app.bundleID);
        if (!id.isEmpty() && id.contains(QLatin1Char('.')))
            keys.identifier = id;
    }
    const QString name = folded(app.name);
    if (DisplayText::perceivedLength(name) >= 3)
        keys.name = name;
    return keys;
}

std::optional<LeftoverItem::Confidence> grade(const QString& childName, const Keys& keys) {
    const QString full = folded(childName);
    const QString stem = folded(stemOf(childName));
    if (keys.identifier) {
        const QString& id = *keys.identifier;
        const QString idDot = id + QLatin1Char('.');
        if (full == id || stem == id || full.startsWith(idDot) || stem.startsWith(idDot))
            return LeftoverItem::Confidence::High;
    }
    if (!keys.name.isEmpty()) {
        const QString& name = keys.name;
        if (stem == name || full == name || full.startsWith(name + QLatin1Char('.')) ||
            stem.startsWith(name + QLatin1Char(' ')))
            return LeftoverItem::Confidence::Low;
    }
    return std::nullopt;
}

void sort(QList<LeftoverItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const LeftoverItem& a, const LeftoverItem& b) {
        if (a.confidence != b.confidence)
            return a.confidence == LeftoverItem::Confidence::High;
        return a.sizeBytes > b.sizeBytes;
    });
}

QList<LeftoverItem> find(const InstalledApp& app, const QList<Folder>& searched,
                         const QStringList& protectedPaths, const CancelToken& cancel) {
    const Keys keys = keysFor(app);
    QList<LeftoverItem> out;
    if (!keys.identifier && keys.name.isEmpty())
        return out;

    QSet<QString> excluded;
    for (const Folder& f : searched)
        excluded.insert(cleanPath(f.path));
    for (const QString& p : protectedPaths)
        excluded.insert(cleanPath(p));

    QSet<QString> taken;
    for (const Folder& folder : searched) {
        if (cancel.isCancelled())
            return out;
        // Hidden entries are out of reach; broken links and other special files are not.
        const QDir dir(folder.path);
        const QStringList children =
            dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::NoSort);
        for (const QString& child : children) {
            if (child.startsWith(QLatin1Char('.')) || isInfrastructure(child))
                continue;
            const std::optional<LeftoverItem::Confidence> confidence = grade(child, keys);
            if (!confidence)
                continue;
            const QString path = cleanPath(folder.path + QLatin1Char('/') + child);
            if (excluded.contains(path) || taken.contains(path))
                continue;
            taken.insert(path);
            LeftoverItem item;
            item.id = QUuid::createUuid();
            item.path = path;
            item.category = folder.label;
            item.sizeBytes = AppInventory::bundleSize(path, cancel);
            item.confidence = *confidence;
            item.selected = *confidence == LeftoverItem::Confidence::High;
            out.append(item);
        }
    }
    sort(out);
    return out;
}

} // namespace LeftoverSearch
