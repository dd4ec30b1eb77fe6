#include "measuring/ContentsGuard.h"

#include "platform/HomeLayout.h"

namespace {

ContentsRefusal::Kind toldAs(AppDataPlace::Kind kind) {
    using P = AppDataPlace::Kind;
    using K = ContentsRefusal::Kind;
    switch (kind) {
    case P::Home:
        return K::Home;
    case P::UserFolder:
    case P::Secrets:
        return K::UserFolder;
    case P::AppFolder:
        return K::AppFolder;
    case P::Shared:
    case P::System:
        break;
    }
    return K::Shared;
}

} // namespace

ContentsGuard ContentsGuard::forLayout(const HomeLayout& layout) {
    QList<AppDataPlace::Kept> kept =
        AppDataPlace::keptFor(layout.home(), layout.userFolders() + layout.projectFolders(),
                              layout.dataHome(), layout.runtimeDir());
    kept.append({layout.appSupportDir(), AppDataPlace::Kind::AppFolder});
    kept.append({layout.appConfigDir(), AppDataPlace::Kind::AppFolder});
    return ContentsGuard(std::move(kept));
}

std::optional<ContentsRefusal> ContentsGuard::check(const QString& location,
                                                    bool userFoldersAllowed) const {
    if (m_kept.isEmpty())
        return std::nullopt;
    const std::optional<AppDataPlace::Refusal> refusal =
        AppDataPlace::refusal(location, m_kept, userFoldersAllowed);
    if (!refusal)
        return std::nullopt;
    return ContentsRefusal{toldAs(refusal->kind), location, refusal->kept,
                           refusal->same || refusal->inside};
}

std::optional<ContentsRefusal> ContentsGuard::check(const QStringList& locations,
                                                    bool userFoldersAllowed) const {
    for (const QString& location : locations) {
        if (std::optional<ContentsRefusal> refusal = check(location, userFoldersAllowed))
            return refusal;
    }
    return std::nullopt;
}
