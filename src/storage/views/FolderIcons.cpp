#include "storage/views/FolderIcons.h"

#include "platform/SymbolIcons.h"
#include "shell/ScanJob.h"
#include "ui-kit/QKForeground.h"

#include <QHash>
#include <QMimeDatabase>

#include <atomic>

namespace {

std::atomic<bool> warmStarted{false};
std::atomic<bool> warm{false};

// The icons by kind and palette, and the icon of each row painted lately by path and palette,
// so that repainting a row (a spinner's turn) does not look its type up again.
QHash<QString, QIcon>& cache() {
    static QHash<QString, QIcon> icons;
    return icons;
}
QHash<QString, QIcon>& byPath() {
    static QHash<QString, QIcon> icons;
    return icons;
}

// Empties a cache that is full, so that it never grows without bound.
QHash<QString, QIcon>& roomIn(QHash<QString, QIcon>& icons) {
    if (icons.size() >= FolderIcons::cacheLimit)
        icons.clear();
    return icons;
}

QIcon themed(const QString& name, const QString& generic, const QString& symbol,
             const QPalette& palette) {
    QIcon icon = QIcon::fromTheme(name, QIcon::fromTheme(generic));
    if (icon.isNull())
        icon = SymbolIcons::icon(symbol, QKForeground::color(QKForeground::Tint, palette));
    return icon;
}

// What an item's icon depends on besides the palette: a package, a folder, or a file's type by
// its name. Rows of one kind share one icon, so a folder of thousands of files makes a handful.
struct Kind {
    QString key;
    QMimeType type; // files only
};

Kind kindOf(const QString& path, bool isDirectory, bool isPackage) {
    if (isPackage)
        return {QStringLiteral("/package"), {}};
    if (isDirectory)
        return {QStringLiteral("/folder"), {}};
    static const QMimeDatabase db;
    QMimeType type = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QString key = type.name();
    return {std::move(key), std::move(type)};
}

QIcon lookUp(const Kind& kind, bool isDirectory, bool isPackage, const QPalette& palette) {
    if (isPackage)
        return themed(QStringLiteral("package-x-generic"), QString(), QStringLiteral("shippingbox"),
                      palette);
    if (isDirectory)
        return themed(QStringLiteral("folder"), QString(), QStringLiteral("folder"), palette);
    QIcon icon =
        QIcon::fromTheme(kind.type.iconName(), QIcon::fromTheme(kind.type.genericIconName()));
    if (icon.isNull())
        icon = SymbolIcons::icon(QStringLiteral("doc"),
                                 QKForeground::color(QKForeground::Secondary, palette));
    return icon;
}

} // namespace

namespace FolderIcons {

QIcon icon(const QString& path, bool isDirectory, bool isPackage, const QPalette& palette) {
    const QString shade = palette.color(QPalette::Base).lightness() < 128 ? QStringLiteral("\n1")
                                                                          : QStringLiteral("\n0");
    const QString pathKey = path + shade;
    if (const auto it = byPath().constFind(pathKey); it != byPath().cend())
        return it.value();
    const Kind kind = kindOf(path, isDirectory, isPackage);
    const QString key = kind.key + shade;
    QIcon icon;
    if (const auto it = cache().constFind(key); it != cache().cend()) {
        icon = it.value();
    } else {
        icon = lookUp(kind, isDirectory, isPackage, palette);
        roomIn(cache()).insert(key, icon);
    }
    roomIn(byPath()).insert(pathKey, icon);
    return icon;
}

void warmUp() {
    if (warmStarted.exchange(true))
        return;
    ScanJob::runInPool([] {
        // The database is one per process behind its own lock: loading it here loads it for the
        // main thread's lookups too.
        const QMimeDatabase db;
        db.mimeTypeForFile(QStringLiteral("warm.txt"), QMimeDatabase::MatchExtension);
        warm = true;
    });
}

bool isWarm() {
    return warm;
}

} // namespace FolderIcons
