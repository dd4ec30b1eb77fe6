#include "storage/ContentClassifier.h"
#include "storage/DiskMapScanner.h"

#include <gtest/gtest.h>

using C = DiskMapCategory;

namespace {

std::optional<C> bytesRule(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    return ContentClassifier::classifyBytes(
        std::string_view(utf8.constData(), size_t(utf8.size())));
}

C fileBytesRule(const QString& name, C fallback) {
    const QByteArray utf8 = name.toUtf8();
    return ContentClassifier::fileCategoryBytes(
        std::string_view(utf8.constData(), size_t(utf8.size())), fallback);
}

MapNode child(qint64 bytes, C category) {
    MapNode n;
    n.sizeBytes = bytes;
    n.category = category;
    return n;
}

} // namespace

TEST(ContentClassifier, KeywordsMatchAnywhereInTheLowerCasedName) {
    const struct {
        const char* name;
        std::optional<C> expected;
    } rows[] = {
        {"Private", C::AdminFinance},       // "vat"
        {"Syntax notes", C::AdminFinance},  // "tax"
        {"Homework", C::Personal},          // "home"
        {"Developer", C::Code},             // "dev"
        {"Jobs", C::ClientWork},            // "job"
        {"Client photos", C::ClientWork},   // first list wins
        {"Tax downloads", C::AdminFinance}, // over downloads
        {"INVOICES 2024", C::AdminFinance}, // lower-cased first
        {"New Folder (3)", C::DownloadsLimbo},
        {"projects-code", C::Code},
        {"Documents", std::nullopt},
        {"desktop", std::nullopt},
        {"", std::nullopt},
        {"Фото Photos", C::Media}, // non-ASCII names take the full lower-casing
    };
    for (const auto& row : rows) {
        const QString name = QString::fromUtf8(row.name);
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DiskMapScanner::categoryFromKeywords(name), row.expected);
        EXPECT_EQ(bytesRule(name), row.expected);
        const std::optional<ContentCategory> side =
            ContentClassifier::classify<ContentCategory>(name);
        EXPECT_EQ(side.has_value(), row.expected.has_value());
        if (side && row.expected) {
            EXPECT_EQ(rawValue(*side), rawValue(*row.expected));
        }
    }
}

TEST(ContentClassifier, TopLevelNamesAreExact) {
    EXPECT_EQ(DiskMapScanner::topLevelCategory("Desktop"), C::DownloadsLimbo);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("Downloads"), C::DownloadsLimbo);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("Movies"), C::Media);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("desktop"), C::Unknown);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("downloads"), C::DownloadsLimbo);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("pictures"), C::Media);
    EXPECT_EQ(DiskMapScanner::topLevelCategory("Documents"), C::Unknown);
    EXPECT_EQ(ContentClassifier::topLevelCategory<ContentCategory>(u"Music"),
              ContentCategory::Media);
}

TEST(ContentClassifier, FilesGoByExtensionThenName) {
    const struct {
        const char* name;
        C fallback;
        C expected;
    } rows[] = {
        {"IMG_0001.JPG", C::Unknown, C::Media},
        {"package.json", C::Unknown, C::Code},
        {"Podfile.lock", C::Personal, C::Code},
        {"tmp.py", C::Unknown, C::Code},             // extension before keywords
        {"photo.txt", C::Unknown, C::Media},         // keyword on the base name
        {"notes.txt", C::ClientWork, C::ClientWork}, // the folder's category
        {"invoice.pdf", C::Unknown, C::AdminFinance},
        {"archive.tar.gz", C::Personal, C::Personal},
        {"video", C::Unknown, C::Media},                     // no extension: the whole name
        {"/home/u/Client A/summary.docx", C::Code, C::Code}, // the last component only
        {"Song.M4A", C::Unknown, C::Media},
        {"film.M\u212AV", C::Unknown, C::Media}, // the Kelvin sign lower-cases to "k"
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = QString::fromUtf8(row.name);
        EXPECT_EQ(DiskMapScanner::fileCategory(name, row.fallback), row.expected);
        EXPECT_EQ(fileBytesRule(name, row.fallback), row.expected);
    }
    EXPECT_EQ(ContentClassifier::fileCategory(QStringLiteral("a.swift"), ContentCategory::Unknown),
              ContentCategory::Code);
}

TEST(ContentClassifier, FolderNamesMeasuredWhole) {
    for (const char* name : {"node_modules", "vendor", "build", ".git", "DerivedData"})
        EXPECT_TRUE(ContentClassifier::isBuildFolderName(name)) << name;
    EXPECT_FALSE(ContentClassifier::isBuildFolderName("Build"));
    for (const char* name : {"Mail.app", "Photos Library.photoslibrary", "X.FRAMEWORK"})
        EXPECT_TRUE(ContentClassifier::hasPackageExtension(name)) << name;
    for (const char* name : {"app", ".app", "apps", "Notes.txt"})
        EXPECT_FALSE(ContentClassifier::hasPackageExtension(name)) << name;
}

TEST(ContentClassifier, DominantChildIgnoresUnknown) {
    EXPECT_EQ(DiskMapScanner::dominantCategory({}), std::nullopt);
    EXPECT_EQ(DiskMapScanner::dominantCategory({child(900, C::Unknown)}), std::nullopt);
    EXPECT_EQ(DiskMapScanner::dominantCategory(
                  {child(900, C::Unknown), child(10, C::Media), child(20, C::Code)}),
              C::Code);
    // A child of no bytes still enters its category.
    EXPECT_EQ(DiskMapScanner::dominantCategory({child(0, C::Personal), child(0, C::Unknown)}),
              C::Personal);
    // Ties go to the category declared first.
    EXPECT_EQ(DiskMapScanner::dominantCategory({child(5, C::Code), child(5, C::Media)}), C::Media);
}
