#include "platform/AppDataPlace.h"

#include "platform/CanonicalPath.h"

namespace AppDataPlace {

QList<Kept> keptFor(const QString& home, const QStringList& ownFolders, const QString& dataHome,
                    const QString& runtimeDir) {
    QList<Kept> kept = {{home, Kind::Home}};
    for (const QString& folder : ownFolders)
        kept.append({folder, Kind::UserFolder});
    for (const char* shared : {"/tmp", "/var/tmp"})
        kept.append({QString::fromLatin1(shared), Kind::Shared});
    if (!runtimeDir.isEmpty())
        kept.append({runtimeDir, Kind::System, true});
    for (const char* live : {"/run", "/var/run", "/dev", "/proc", "/sys"})
        kept.append({QString::fromLatin1(live), Kind::System, true});
    for (const char* secret :
         {".ssh", ".gnupg", ".pki", ".password-store", ".local/share/keyrings"})
        kept.append({home + QLatin1Char('/') + QString::fromLatin1(secret), Kind::Secrets, true});
    if (!dataHome.isEmpty())
        kept.append({dataHome + QStringLiteral("/keyrings"), Kind::Secrets, true});
    return kept;
}

std::optional<Refusal> refusal(const QString& folder, const QList<Kept>& kept,
                               bool userFoldersAllowed) {
    const QString place = folder.isEmpty() ? QStringLiteral("/") : CanonicalPath::of(folder);
    for (const Kept& k : kept) {
        if (k.path.isEmpty() || (userFoldersAllowed && k.kind == Kind::UserFolder))
            continue;
        const QString keptPlace = CanonicalPath::of(k.path);
        if (place == keptPlace)
            return Refusal{k.kind, k.path, true, false};
        if (k.inside ? CanonicalPath::isOrHolds(keptPlace, place)
                     : CanonicalPath::isOrHolds(place, keptPlace))
            return Refusal{k.kind, k.path, false, k.inside};
    }
    return std::nullopt;
}

} // namespace AppDataPlace
