#include "storage/ContentClassifier.h"

#include <algorithm>
#include <array>
#include <QByteArray>
#include <QString>
#include <unordered_set>
#include <vector>

namespace {

struct KeywordList {
    DiskMapCategory category;
    std::initializer_list<std::string_view> keywords;
};

// In the order they are tried, which is not the enumeration's.
const std::array<KeywordList, 6>& keywordLists() {
    static const std::array<KeywordList, 6> lists = {{
        {DiskMapCategory::ClientWork, {"client", "customer", "job", "engagement"}},
        {DiskMapCategory::AdminFinance,
         {"invoice", "receipt", "tax", "vat", "hmrc", "payslip", "statement", "contract",
          "accounts", "finance", "admin", "insurance"}},
        {DiskMapCategory::Media,
         {"photo", "picture", "video", "movie", "footage", "music", "audio", "camera",
          "screenshot"}},
        {DiskMapCategory::DownloadsLimbo,
         {"download", "temp", "tmp", "misc", "untitled", "new folder", "to sort", "unsorted",
          "inbox", "stuff"}},
        {DiskMapCategory::Code,
         {"code", "repo", "github", "gitlab", "dev", "src", "xcode", "projects-code", "sandbox"}},
        {DiskMapCategory::Personal,
         {"personal", "family", "holiday", "home", "health", "medical", "cv", "resume", "hobby"}},
    }};
    return lists;
}

using NameSet = std::unordered_set<std::string_view>;

const NameSet& mediaExtensions() {
    static const NameSet set = {
        "jpg", "jpeg", "png", "heic", "heif", "gif", "tiff", "tif", "bmp", "webp", "raw",
        "cr2", "cr3",  "nef", "arw",  "dng",  "psd", "ai",   "mp4", "mov", "m4v",  "avi",
        "mkv", "webm", "mpg", "mpeg", "mp3",  "wav", "aiff", "aif", "m4a", "flac", "aac"};
    return set;
}

const NameSet& codeExtensions() {
    static const NameSet set = {"swift", "js",   "ts",   "tsx",    "jsx",     "py",  "rb",  "go",
                                "rs",    "java", "kt",   "c",      "cc",      "cpp", "h",   "hpp",
                                "m",     "mm",   "cs",   "php",    "sql",     "sh",  "zsh", "json",
                                "yml",   "yaml", "toml", "gradle", "podspec", "lock"};
    return set;
}

const NameSet& buildFolderNames() {
    static const NameSet set = {"node_modules", ".git",  "DerivedData", "Pods",   "vendor",
                                ".build",       ".venv", "venv",        "target", "build"};
    return set;
}

const NameSet& packageExtensions() {
    static const NameSet set = {
        "app",          "photoslibrary", "fcpbundle", "imovielibrary", "tvlibrary",    "aplibrary",
        "musiclibrary", "bundle",        "framework", "rtfd",          "sparsebundle", "logicx",
        "band",         "download",      "pkg",       "xcodeproj",     "xcworkspace"};
    return set;
}

bool isAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Lower-cases ASCII into a buffer; names longer than a file name may be are cut (they cannot
// occur on disk, and a keyword past that point would be a rarity not worth an allocation).
std::string_view asciiLower(std::string_view s, std::array<char, 512>& buffer) {
    const size_t n = std::min(s.size(), buffer.size());
    for (size_t i = 0; i < n; ++i) {
        const char c = s[i];
        buffer[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return std::string_view(buffer.data(), n);
}

// The keywords (two letters or more) by their first byte, each with the rank of its list, so that
// a name is read once instead of once per keyword: every scan classifies each of its files.
class KeywordIndex {
public:
    KeywordIndex() {
        const auto& lists = keywordLists();
        for (size_t rank = 0; rank < lists.size(); ++rank) {
            for (const std::string_view keyword : lists[rank].keywords)
                m_byFirst[static_cast<unsigned char>(keyword.front())].push_back(
                    {keyword, int(rank)});
        }
    }

    // The first list (in the order tried) with a keyword anywhere in the lowered name.
    std::optional<DiskMapCategory> hit(std::string_view lowered) const {
        int best = int(keywordLists().size());
        for (size_t at = 0; at < lowered.size(); ++at) {
            for (const Keyword& k : m_byFirst[static_cast<unsigned char>(lowered[at])]) {
                if (k.rank < best && lowered.size() - at >= k.text.size() &&
                    lowered[at + 1] == k.text[1] &&
                    lowered.compare(at, k.text.size(), k.text) == 0) {
                    best = k.rank;
                    if (best == 0)
                        return keywordLists()[0].category;
                }
            }
        }
        if (best == int(keywordLists().size()))
            return std::nullopt;
        return keywordLists()[size_t(best)].category;
    }

private:
    struct Keyword {
        std::string_view text;
        int rank;
    };
    std::array<std::vector<Keyword>, 256> m_byFirst;
};

std::optional<DiskMapCategory> keywordHit(std::string_view lowered) {
    static const KeywordIndex index;
    return index.hit(lowered);
}

std::optional<DiskMapCategory> keywordCategory(QStringView name) {
    const QByteArray lowered = name.toString().toLower().toUtf8();
    return keywordHit(std::string_view(lowered.constData(), size_t(lowered.size())));
}

std::string_view withoutExtension(std::string_view name) {
    const std::string_view ext = ContentClassifier::extensionOf(name);
    return ext.empty() ? name : name.substr(0, name.size() - ext.size() - 1);
}

std::string_view lastComponent(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool inLowered(const NameSet& set, std::string_view ext) {
    std::array<char, 512> buffer;
    return set.count(asciiLower(ext, buffer)) > 0;
}

// An extension of up to eight ASCII bytes, lower-cased and packed into one word; 0 for anything
// longer (no media or code extension is).
quint64 packedLower(std::string_view ext) {
    if (ext.empty() || ext.size() > 8)
        return 0;
    quint64 packed = 0;
    for (size_t i = 0; i < ext.size(); ++i) {
        const char c = ext[i];
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        packed |= quint64(static_cast<unsigned char>(lower)) << (8 * i);
    }
    return packed;
}

// A name set of short extensions as sorted packed words: a file's extension is looked up with
// one packing and a binary search rather than a string hash.
class PackedSet {
public:
    explicit PackedSet(const NameSet& names) {
        for (const std::string_view name : names) {
            if (const quint64 packed = packedLower(name))
                m_words.push_back(packed);
        }
        std::sort(m_words.begin(), m_words.end());
    }
    bool contains(quint64 packed) const {
        return packed != 0 && std::binary_search(m_words.begin(), m_words.end(), packed);
    }

private:
    std::vector<quint64> m_words;
};

DiskMapCategory fileCategoryUtf8(std::string_view fileName, DiskMapCategory fallback) {
    const std::string_view ext = ContentClassifier::extensionOf(fileName);
    if (!ext.empty() && isAscii(ext)) {
        static const PackedSet media(mediaExtensions());
        static const PackedSet code(codeExtensions());
        const quint64 packed = packedLower(ext);
        if (media.contains(packed))
            return DiskMapCategory::Media;
        if (code.contains(packed))
            return DiskMapCategory::Code;
    } else if (!ext.empty()) {
        // Full lower-casing can turn a non-ASCII letter into an ASCII one (the Kelvin sign).
        const QByteArray lowered =
            QString::fromUtf8(ext.data(), qsizetype(ext.size())).toLower().toUtf8();
        const std::string_view l(lowered.constData(), size_t(lowered.size()));
        if (mediaExtensions().count(l))
            return DiskMapCategory::Media;
        if (codeExtensions().count(l))
            return DiskMapCategory::Code;
    }
    return ContentClassifier::classifyBytes(withoutExtension(fileName)).value_or(fallback);
}

} // namespace

namespace ContentClassifier {

std::string_view extensionOf(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return {};
    return name.substr(dot + 1);
}

std::optional<DiskMapCategory> classifyBytes(std::string_view name) {
    if (isAscii(name)) {
        std::array<char, 512> buffer;
        return keywordHit(asciiLower(name, buffer));
    }
    return keywordCategory(QString::fromUtf8(name.data(), qsizetype(name.size())));
}

DiskMapCategory fileCategoryBytes(std::string_view fileName, DiskMapCategory fallback) {
    return fileCategoryUtf8(lastComponent(fileName), fallback);
}

bool isBuildFolderName(std::string_view name) {
    return buildFolderNames().count(name) > 0;
}

bool hasPackageExtension(std::string_view name) {
    const std::string_view ext = extensionOf(name);
    if (ext.empty())
        return false;
    if (isAscii(ext))
        return inLowered(packageExtensions(), ext);
    const QByteArray lowered =
        QString::fromUtf8(ext.data(), qsizetype(ext.size())).toLower().toUtf8();
    return packageExtensions().count(std::string_view(lowered.constData(), size_t(lowered.size())));
}

template <> std::optional<DiskMapCategory> classify<DiskMapCategory>(QStringView name) {
    return keywordCategory(name);
}

template <> std::optional<ContentCategory> classify<ContentCategory>(QStringView name) {
    const std::optional<DiskMapCategory> hit = keywordCategory(name);
    return hit ? std::optional<ContentCategory>(contentCategory(*hit)) : std::nullopt;
}

template <> DiskMapCategory topLevelCategory<DiskMapCategory>(QStringView name) {
    if (name == u"Downloads" || name == u"Desktop")
        return DiskMapCategory::DownloadsLimbo;
    if (name == u"Pictures" || name == u"Movies" || name == u"Music")
        return DiskMapCategory::Media;
    return keywordCategory(name).value_or(DiskMapCategory::Unknown);
}

template <> ContentCategory topLevelCategory<ContentCategory>(QStringView name) {
    return contentCategory(topLevelCategory<DiskMapCategory>(name));
}

template <>
DiskMapCategory fileCategory<DiskMapCategory>(QStringView path, DiskMapCategory fallback) {
    const QByteArray bytes = path.toUtf8();
    return fileCategoryBytes(std::string_view(bytes.constData(), size_t(bytes.size())), fallback);
}

template <>
ContentCategory fileCategory<ContentCategory>(QStringView path, ContentCategory fallback) {
    return contentCategory(fileCategory<DiskMapCategory>(path, diskMapCategory(fallback)));
}

} // namespace ContentClassifier
