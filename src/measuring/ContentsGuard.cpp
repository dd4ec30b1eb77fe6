#include "measuring/ContentsGuard.h"

#include "platform/CanonicalPath.h"
#include "platform/HomeLayout.h"

ContentsGuard ContentsGuard::forLayout(const HomeLayout& layout) {
    using K = ContentsRefusal::Kind;
    QList<Kept> kept = {{layout.home(), K::Home}};
    for (const QString& folder : layout.userFolders())
        kept.append({folder, K::UserFolder});
    kept.append({layout.appSupportDir(), K::AppFolder});
    kept.append({layout.appConfigDir(), K::AppFolder});
    for (const QString& folder : layout.projectFolders())
        kept.append({folder, K::UserFolder});
    kept.append({QStringLiteral("/tmp"), K::Shared});
    kept.append({QStringLiteral("/var/tmp"), K::Shared});
    return ContentsGuard(std::move(kept));
}

std::optional<ContentsRefusal> ContentsGuard::check(const QString& location,
                                                    bool userFoldersAllowed) const {
    if (m_kept.isEmpty())
        return std::nullopt;
    const QString place = location.isEmpty() ? QStringLiteral("/") : CanonicalPath::of(location);
    for (const Kept& k : m_kept) {
        if (k.path.isEmpty() || (userFoldersAllowed && k.kind == ContentsRefusal::Kind::UserFolder))
            continue;
        const QString kept = CanonicalPath::of(k.path);
        if (CanonicalPath::isOrHolds(place, kept))
            return ContentsRefusal{k.kind, location, k.path, place == kept};
    }
    return std::nullopt;
}

std::optional<ContentsRefusal> ContentsGuard::check(const QStringList& locations,
                                                    bool userFoldersAllowed) const {
    for (const QString& location : locations) {
        if (std::optional<ContentsRefusal> refusal = check(location, userFoldersAllowed))
            return refusal;
    }
    return std::nullopt;
}
