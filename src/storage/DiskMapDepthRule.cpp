#include "storage/DiskMapDepthRule.h"

#include "storage/ContentClassifier.h"
#include "storage/DiskMapMeasurer.h"

namespace DiskMapDepthRule {

bool measuredWhole(std::string_view nameBytes, int depth, bool hidden) {
    return hidden || depth >= DiskMapMeasurer::wholeDepth ||
           ContentClassifier::isBuildFolderName(nameBytes) ||
           ContentClassifier::hasPackageExtension(nameBytes);
}

DiskMapCategory wholeCategory(std::string_view nameBytes, DiskMapCategory inherited) {
    const bool build = ContentClassifier::isBuildFolderName(nameBytes);
    return ContentClassifier::classifyBytes(nameBytes).value_or(build ? DiskMapCategory::Code
                                                                      : inherited);
}

bool keepsChildren(int depth) {
    return depth < DiskMapMeasurer::childlessDepth;
}

bool namesItself(int depth) {
    return depth <= DiskMapMeasurer::namedDepth;
}

} // namespace DiskMapDepthRule
