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

QHash<QString, QIcon>& cache() {
    static QHash<QString, QIcon> icons;
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
    const bool dark = palette.color(QPalette::Base).lightness() < 128;
    const Kind kind = kindOf(path, isDirectory, isPackage);
    const QString key = kind.key + (dark ? QStringLiteral("\n1") : QStringLiteral("\n0"));
    QHash<QString, QIcon>& icons = cache();
    if (const auto it = icons.constFind(key); it != icons.cend())
        return it.value();
    if (icons.size() >= cacheLimit)
        icons.clear();
    const QIcon icon = lookUp(kind, isDirectory, isPackage, palette);
    icons.insert(key, icon);
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
