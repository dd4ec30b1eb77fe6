#pragma once

#include "platform/DirectoryWalker.h"

#include <optional>
#include <string_view>

// Rules that several walks over the user's folders share, so that the cleaners, the large-file
// list and the duplicate and look-alike searches enter and skip the same folders.
namespace WalkRules {

// True for a folder name that marks a package ("Name.app"), whose insides are the package's own
// and never listed one by one.
bool isPackageName(std::string_view name);

// The first steps of a walk through a folder the user picked: the folder itself and the folders
// in it are entered, hidden entries and packages are not. Empty for what the caller decides on:
// an entry below the folder that is neither hidden nor a folder.
std::optional<DirectoryWalker::Action> pickedFolderStep(const DirectoryWalker::Entry& e);

} // namespace WalkRules
