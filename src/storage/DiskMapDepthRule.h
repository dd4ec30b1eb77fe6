#pragma once

#include "storage/DiskMapCategory.h"

#include <string_view>

// How deep the disk map's tree goes: which folders the walk measures whole (one childless node)
// and which it lists child by child, which listed folders keep their children, and which name
// themselves in the progress text. Depth 1 is an item directly in home.
namespace DiskMapDepthRule {

// A package (a name ending in a package extension), a build or dependency folder, a hidden
// folder, and any folder at DiskMapMeasurer::wholeDepth or deeper. nameBytes: the folder's name.
bool measuredWhole(std::string_view nameBytes, int depth, bool hidden);

// The category of a folder measured whole: its name's keyword, else code for a build folder (at
// any depth; depth alone makes no build folder), else what its parent hands down.
DiskMapCategory wholeCategory(std::string_view nameBytes, DiskMapCategory inherited);

// A listed folder above DiskMapMeasurer::childlessDepth keeps its children; at that depth its
// node is childless (its category may still come from them).
bool keepsChildren(int depth);

// Folders down to DiskMapMeasurer::namedDepth name themselves in the progress text.
bool namesItself(int depth);

} // namespace DiskMapDepthRule
