#pragma once

#include <QString>

// One answer to "is this the same folder, or a folder above it?" for places that reach us as
// text (environment variables, settings, table rows): two spellings of one folder, through a
// symlink, "..", a repeated or trailing slash, must compare equal, or a guard keyed on one
// spelling lets the other through.
namespace CanonicalPath {

// Absolute, with symlinks resolved for the part of the path that exists now and "." and ".."
// resolved by their words for the rest; no repeated or trailing slash. A relative path is taken
// from the working folder. Worked out at the moment of the call: a symlink may change later, so
// ask again right before acting on the answer.
QString of(const QString& path);

// True when `folder` is `path` or lies above it; both already canonical.
bool isOrHolds(const QString& folder, const QString& path);

} // namespace CanonicalPath
