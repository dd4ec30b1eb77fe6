#pragma once

#include "storage/ContentCategory.h"
#include "storage/DiskMapCategory.h"

#include <optional>
#include <QStringView>
#include <string_view>

// Guesses what a file or folder holds from its name, for the disk map (DiskMapCategory) and the
// folder browser (ContentCategory). Both sides use the same fixed tables and rules; only the
// disk map has the build-folder rule. Pure functions of their arguments, safe on any thread.
//
// Keyword rule (classify): the name, fully lower-cased, is searched for the keywords of six lists
// tried in a fixed order — client work, admin and finance, media, downloads and limbo, code,
// personal — and the first list with a keyword anywhere in the name wins ("Private" is admin,
// "vat" being inside it). No hit gives nothing.
//
// Names may be given as text or as the raw bytes of a file name (UTF-8 as stored on disk); the
// byte forms answer exactly as the text forms, and are quick for ASCII names, which most are.
namespace ContentClassifier {

// The keyword rule.
template <typename Category> std::optional<Category> classify(QStringView name);
std::optional<DiskMapCategory> classifyBytes(std::string_view name);

// An entry directly in the home folder: "Downloads" and "Desktop" are downloads and limbo,
// "Pictures", "Movies" and "Music" media (whole names, case-sensitive); any other name goes by
// the keyword rule, else unknown.
template <typename Category> Category topLevelCategory(QStringView name);

// A file by its name (a path is accepted; its last component is used): a media extension, then a
// code extension (both compared lower-cased), then the keyword rule on the name without its
// extension, else the fallback.
template <typename Category> Category fileCategory(QStringView path, Category fallback);
DiskMapCategory fileCategoryBytes(std::string_view fileName, DiskMapCategory fallback);

// The folder names of build output and dependencies ("node_modules", ".git", "DerivedData",
// "Pods", "vendor", ".build", ".venv", "venv", "target", "build"), compared exactly.
bool isBuildFolderName(std::string_view name);
// Folders that are one thing, measured whole: a lower-cased extension among "app",
// "photoslibrary", "bundle", "framework", "sparsebundle", "xcodeproj" and the other 11.
bool hasPackageExtension(std::string_view name);

template <> std::optional<DiskMapCategory> classify<DiskMapCategory>(QStringView name);
template <> std::optional<ContentCategory> classify<ContentCategory>(QStringView name);
template <> DiskMapCategory topLevelCategory<DiskMapCategory>(QStringView name);
template <> ContentCategory topLevelCategory<ContentCategory>(QStringView name);
template <>
DiskMapCategory fileCategory<DiskMapCategory>(QStringView path, DiskMapCategory fallback);
template <>
ContentCategory fileCategory<ContentCategory>(QStringView path, ContentCategory fallback);

// The extension of a file name as the rules read it: the text after its last dot, empty when
// there is no dot, the name starts with its only dot, or it ends with one.
std::string_view extensionOf(std::string_view name);

} // namespace ContentClassifier
