#include "platform/PropertyList.h"
#include "platform/AppBundle.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <limits>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + body + "</plist>";
}

std::optional<QVariant> parse(const QByteArray& bytes) {
    return PropertyList::parse(bytes);
}

using testsupport::write;

} // namespace

TEST(PropertyList, ReadsEveryValueKindOfABundlesInfoFile) {
    const std::optional<QVariantMap> info =
        PropertyList::readDictionary(testsupport::fixture(QStringLiteral("apps/plist/Info.plist")));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->value("CFBundleIdentifier").toString(), "com.example.editor");
    EXPECT_EQ(info->value("CFBundleName").toString(), "Editor & Friends");
    EXPECT_EQ(info->value("CFBundleVersion").toLongLong(), 241);
    EXPECT_EQ(info->value("NSHighResolutionCapable"), QVariant(true));
    EXPECT_EQ(info->value("LSRequiresNativeExecution"), QVariant(false));
    EXPECT_EQ(info->value("BuildMachineOSBuild").toByteArray(), "22G120");
    EXPECT_EQ(info->value("BuildDate").toDateTime(),
              QDateTime(QDate(2024, 3, 14), QTime(9, 26, 53), Qt::UTC));
    EXPECT_DOUBLE_EQ(info->value("DTPlatformScale").toDouble(), 2.5);
    const QVariantList types = info->value("CFBundleDocumentTypes").toList();
    ASSERT_EQ(types.size(), 1);
    EXPECT_EQ(types.at(0).toMap().value("CFBundleTypeExtensions").toStringList(),
              QStringList({"txt", "md"}));
}

TEST(PropertyList, RefusesWhatIsNotOneWellFormedValue) {
    const QList<QByteArray> bad = {
        "",
        "bplist00\x01\x02",
        "<plist></plist>",
        plist("<string>a</string><string>b</string>"),
        plist("<dict><key>a</key></dict>"),
        plist("<dict><string>no key</string></dict>"),
        plist("<dict><key>a</key><key>b</key></dict>"),
        plist("<unknown/>"),
        plist("<string>a<b/></string>"),
        plist("stray<string>a</string>"),
        plist("<integer>12x</integer>"),
        plist("<integer>9223372036854775808</integer>"),
        plist("<integer></integer>"),
        plist("<real>fast</real>"),
        plist("<true>yes</true>"),
        plist("<data>!!!</data>"),
        plist("<date>yesterday</date>"),
        plist("<string>unclosed"),
        "<other/>",
        plist("<string>a</string>") + "<plist/>",
    };
    for (const QByteArray& bytes : bad)
        EXPECT_FALSE(parse(bytes)) << bytes.toStdString();
}

TEST(PropertyList, KeepsIntegersExactAtTheEdgesOf64Bits) {
    EXPECT_EQ(parse(plist("<integer>-9223372036854775808</integer>"))->toLongLong(),
              std::numeric_limits<qint64>::min());
    EXPECT_EQ(parse(plist("<integer>9223372036854775807</integer>"))->toLongLong(),
              std::numeric_limits<qint64>::max());
    EXPECT_EQ(parse(plist("<integer>0x1F</integer>"))->toLongLong(), 31);
    EXPECT_EQ(parse(plist("<integer> -42 </integer>"))->toLongLong(), -42);
}

TEST(PropertyList, StaysBoundedOnHostileDocuments) {
    // Nesting one past the limit is refused; at the limit it is read.
    QByteArray deep = QByteArray("<array>").repeated(PropertyList::kMaxDepth + 1) +
                      QByteArray("</array>").repeated(PropertyList::kMaxDepth + 1);
    EXPECT_FALSE(parse(plist(deep)));
    QByteArray limit = QByteArray("<array>").repeated(PropertyList::kMaxDepth) +
                       QByteArray("</array>").repeated(PropertyList::kMaxDepth);
    EXPECT_TRUE(parse(plist(limit)));

    // Entities that would expand a thousandfold, and one that names a file outside.
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
        "<plist><string>&d;&d;&d;&d;</string></plist>";
    EXPECT_FALSE(parse(laughs));
    const QByteArray outside =
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<plist><string>&x;</string></plist>";
    EXPECT_FALSE(parse(outside));

    EXPECT_FALSE(parse(QByteArray(PropertyList::kMaxBytes + 1, ' ')));
}

TEST(AppBundle, ReadsTheIdentifierOfFullAndFlatBundles) {
    const QString base = testsupport::freshDir(QStringLiteral("bundles"));
    QDir().mkpath(base + "/Full.app/Contents");
    QFile::copy(testsupport::fixture(QStringLiteral("apps/plist/Info.plist")),
                base + "/Full.app/Contents/Info.plist");
    write(base + "/Flat.app/Info.plist",
          plist("<dict><key>CFBundleIdentifier</key><string>org.flat</string></dict>"));
    write(base + "/Empty.app/Contents/Info.plist",
          plist("<dict><key>CFBundleIdentifier</key><string></string></dict>"));
    write(base + "/Number.app/Contents/Info.plist",
          plist("<dict><key>CFBundleIdentifier</key><integer>4</integer></dict>"));
    write(base + "/Broken.app/Contents/Info.plist", "<plist><dict>");
    write(base + "/File.app", "not a folder");
    QDir().mkpath(base + "/Bare.app");

    EXPECT_EQ(AppBundle::identifier(base + "/Full.app"), "com.example.editor");
    EXPECT_EQ(AppBundle::identifier(base + "/Flat.app"), "org.flat");
    for (const char* none :
         {"/Empty.app", "/Number.app", "/Broken.app", "/File.app", "/Bare.app", "/Missing.app"})
        EXPECT_FALSE(AppBundle::identifier(base + none)) << none;
}

TEST(AppBundle, NamesPackagesAndTheBundleAroundAPath) {
    for (const char* yes : {"Helper.app", "Share.appex", "Codec.bundle", "Lib.PLUGIN", "X.xpc"})
        EXPECT_TRUE(AppBundle::isPackageName(QString::fromUtf8(yes))) << yes;
    for (const char* no : {"Frameworks", "Resources", ".app", "app", "notes.txt", "Qt.framework"})
        EXPECT_FALSE(AppBundle::isPackageName(QString::fromUtf8(no))) << no;

    EXPECT_EQ(AppBundle::enclosingBundle("/Applications/Editor.app/Contents/MacOS/editor"),
              "/Applications/Editor.app");
    EXPECT_EQ(AppBundle::enclosingBundle(
                  "/Applications/Editor.app/Contents/Helpers/Helper.app/Contents/MacOS/h"),
              "/Applications/Editor.app/Contents/Helpers/Helper.app");
    EXPECT_EQ(AppBundle::enclosingBundle("/usr/bin/editor"), QString());
    EXPECT_EQ(AppBundle::enclosingBundle("/opt/x.apps/bin"), QString());
}
