#include "platform/WalkRules.h"

namespace WalkRules {

bool isPackageName(std::string_view name) {
    return name.size() > 4 && name.substr(name.size() - 4) == ".app";
}

std::optional<DirectoryWalker::Action> pickedFolderStep(const DirectoryWalker::Entry& e) {
    using Action = DirectoryWalker::Action;
    if (e.depth == 0)
        return Action::Continue;
    if (e.isHidden())
        return Action::SkipChildren;
    if (e.isDirectory())
        return isPackageName(e.name) ? Action::SkipChildren : Action::Continue;
    return std::nullopt;
}

} // namespace WalkRules
