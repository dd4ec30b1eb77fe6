// Keeps the folder order of src/: every #include "…" must point down the layers, never up or
// sideways into another subsystem's widgets. Which core folder may include which is the table of
// cmake/PendrelLibraries.cmake, read here from what the configure writes of it; the rule is
// written out in CONVENTIONS.md, whose table is generated from the same one.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

// Each core folder with the folders it may include (itself left out), in the folder order.
using FolderOrder = QList<std::pair<QString, QStringList>>;

// The configure's folder-order.txt: a line per core folder, the folder and then what it may
// include.
FolderOrder readFolderOrder(const QString& text) {
    FolderOrder order;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString folder = words.takeFirst();
        order.append({folder, words});
    }
    return order;
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const FolderOrder& buildFolderOrder() {
    static const FolderOrder order =
        readFolderOrder(readText(QStringLiteral(PENDREL_BINARY_DIR "/folder-order.txt")));
    return order;
}

// The layer of a path under src/: "platform", "ui-kit", "app" (the screenshot scenes in app/shots/
// with it), "fakes", a core folder ("vitals", "cleaning", …) or a views folder ("vitals/views").
QString layerOf(const QString& relative) {
    const QStringList parts = relative.split(QLatin1Char('/'));
    if (parts.size() > 2 && parts.at(1) == QLatin1String("views"))
        return parts.at(0) + QStringLiteral("/views");
    return parts.at(0);
}

class Layers {
public:
    explicit Layers(const FolderOrder& order) {
        for (const auto& [folder, below] : order)
            m_below.insert(folder, QSet<QString>(below.cbegin(), below.cend()));
    }

    bool isCore(const QString& layer) const { return m_below.contains(layer); }

    // Whether a file in layer `from` may include a file in layer `to`. The composition side
    // (app/, its screenshot scenes included) may include anything; a core folder, what the
    // folder order puts below it.
    bool allowed(const QString& from, const QString& to) const {
        if (from == to || from == QLatin1String("app") || to == QLatin1String("platform"))
            return true;
        if (from == QLatin1String("fakes"))
            return isCore(to);
        if (from.endsWith(QLatin1String("/views")))
            return to == QLatin1String("ui-kit") || isCore(to);
        return m_below.value(from).contains(to);
    }

private:
    QHash<QString, QSet<QString>> m_below;
};

struct Include {
    QString file;
    QString target;
    // Written with "../": found next to the including file, past the include roots and so past
    // the layer it would be checked against.
    bool climbs = false;
};

// Every include of a project header under root, with its file relative to root.
QList<Include> includesUnder(const QString& root) {
    // Both forms: a header named with <…> is looked up in the include roots too, so one that is
    // the project's own, or climbs out by "../", is held to the order like any other.
    static const QRegularExpression line(
        QStringLiteral("^\\s*#\\s*include\\s*(?:\"([^\"]+)\"|<([^>]+)>)"),
        QRegularExpression::MultilineOption);
    QList<Include> found;
    QDirIterator it(root, {"*.h", "*.cpp", "*.in"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        const QString relative = QDir(root).relativeFilePath(path);
        for (auto m = line.globalMatch(text); m.hasNext();) {
            const QRegularExpressionMatch match = m.next();
            const QString target = match.hasCaptured(1) ? match.captured(1) : match.captured(2);
            if (target.startsWith(QLatin1String("../")) || target.contains(QLatin1String("/../")))
                found.append({relative, target, true});
            else if (QFile::exists(root + QLatin1Char('/') + target))
                found.append({relative, target});
        }
    }
    return found;
}

// One line per include against the order.
QStringList violations(const QString& root, const FolderOrder& order) {
    const Layers layers(order);
    QStringList bad;
    for (const Include& inc : includesUnder(root)) {
        if (inc.climbs)
            bad << inc.file + QStringLiteral(" -> ") + inc.target +
                       QStringLiteral(" (by the include root instead)");
        else if (!layers.allowed(layerOf(inc.file), layerOf(inc.target)))
            bad << inc.file + QStringLiteral(" -> ") + inc.target;
    }
    return bad;
}

// The text between CONVENTIONS.md's markers around the folders table, trimmed.
QString conventionsTable() {
    const QString text = readText(QStringLiteral(PENDREL_SOURCE_DIR "/CONVENTIONS.md"));
    const qsizetype begin = text.indexOf(QStringLiteral("<!-- folders table:"));
    const qsizetype end = text.indexOf(QStringLiteral("<!-- end of the folders table -->"));
    if (begin < 0 || end < begin)
        return {};
    const qsizetype from = text.indexOf(QLatin1Char('\n'), begin) + 1;
    return text.mid(from, end - from).trimmed();
}

using testsupport::write;

} // namespace

TEST(IncludeOrder, EveryIncludeInTheSourceTreeFollowsTheFolderOrder) {
    ASSERT_FALSE(buildFolderOrder().isEmpty()) << "no folder-order.txt in " PENDREL_BINARY_DIR;
    const QStringList bad =
        violations(QStringLiteral(PENDREL_SOURCE_DIR "/src"), buildFolderOrder());
    EXPECT_TRUE(bad.isEmpty()) << qPrintable(bad.join(QLatin1Char('\n')));
}

// A folder of src/ that the folder order does not name is built by no library.
TEST(IncludeOrder, EveryFolderOfTheSourceTreeHasItsPlaceInTheOrder) {
    const Layers layers(buildFolderOrder());
    const QStringList notCore = {"platform", "ui-kit", "app", "fakes"};
    for (const QString& folder : QDir(QStringLiteral(PENDREL_SOURCE_DIR "/src"))
                                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        EXPECT_TRUE(layers.isCore(folder) || notCore.contains(folder)) << qPrintable(folder);
}

TEST(IncludeOrder, TheConventionsTableIsTheBuildsTable) {
    const QString built = readText(QStringLiteral(PENDREL_BINARY_DIR "/folder-table.md")).trimmed();
    ASSERT_FALSE(built.isEmpty());
    EXPECT_EQ(conventionsTable().toStdString(), built.toStdString())
        << "CONVENTIONS.md's folders table is stale: run cmake -P cmake/FolderTable.cmake";
}

TEST(IncludeOrder, IncludesAgainstTheOrderAreCaught) {
    const FolderOrder order = {{"vitals", {"platform"}},
                               {"shell", {"vitals", "platform"}},
                               {"cleaning", {"shell", "vitals", "platform"}},
                               {"home", {"cleaning", "shell", "vitals", "platform"}}};
    const QString root = testsupport::freshDir(QStringLiteral("layers"));
    write(root + "/platform/Files.h", "#pragma once\n");
    write(root + "/vitals/Sampler.h", "#include \"platform/Files.h\"\n");
    write(root + "/shell/Catalog.h", "#include \"vitals/Sampler.h\"\n");
    write(root + "/home/Check.h",
          "#include \"vitals/Sampler.h\"\n#include \"cleaning/Scanner.h\"\n");
    write(root + "/cleaning/Scanner.h", "#include \"shell/Catalog.h\"\n");
    write(root + "/ui-kit/Card.h", "#include \"platform/Files.h\"\n");
    write(root + "/vitals/views/Panel.h",
          "#include \"ui-kit/Card.h\"\n#include \"shell/Catalog.h\"\n");
    write(root + "/app/Main.cpp", "#include \"vitals/views/Panel.h\"\n");
    write(root + "/app/shots/Harness.h", "#include \"ui-kit/Card.h\"\n");
    write(root + "/app/shots/Scene.cpp",
          "#include \"app/shots/Harness.h\"\n#include \"vitals/views/Panel.h\"\n#include "
          "\"shell/Catalog.h\"\n");
    write(root + "/fakes/FakeScanner.h", "#include \"cleaning/Scanner.h\"\n");
    EXPECT_EQ(violations(root, order), QStringList());

    // Up the layers (a core folder to one the order puts above it, or beside it), into another
    // subsystem's widgets, into the screenshot scenes, and out of the folder by "../".
    write(root + "/vitals/Text.h", "#include \"shell/Catalog.h\"\n");
    write(root + "/cleaning/Health.h", "#include \"home/Check.h\"\n");
    write(root + "/shell/views/Row.h", "#include \"vitals/views/Panel.h\"\n");
    write(root + "/ui-kit/Badge.h", "#include \"vitals/Sampler.h\"\n");
    write(root + "/shell/Screens.h", "#include \"app/shots/Harness.h\"\n");
    write(root + "/fakes/FakePanel.h", "#include \"vitals/views/Panel.h\"\n");
    write(root + "/vitals/Gauge.h", "#include \"../shell/Catalog.h\"\n");
    write(root + "/vitals/Knob.h", "#include <../shell/shell/Catalog.h>\n#include <QString>\n");
    write(root + "/vitals/Dial.h", "#include <shell/Catalog.h>\n");
    const QStringList bad = violations(root, order);
    EXPECT_EQ(bad.size(), 9) << qPrintable(bad.join('\n'));
    EXPECT_TRUE(bad.contains("vitals/Text.h -> shell/Catalog.h"));
    EXPECT_TRUE(bad.contains("cleaning/Health.h -> home/Check.h"));
    EXPECT_TRUE(bad.contains("shell/views/Row.h -> vitals/views/Panel.h"));
    EXPECT_TRUE(bad.contains("ui-kit/Badge.h -> vitals/Sampler.h"));
    EXPECT_TRUE(bad.contains("shell/Screens.h -> app/shots/Harness.h"));
    EXPECT_TRUE(bad.contains("fakes/FakePanel.h -> vitals/views/Panel.h"));
    EXPECT_TRUE(bad.contains("vitals/Gauge.h -> ../shell/Catalog.h (by the include root instead)"));
    EXPECT_TRUE(
        bad.contains("vitals/Knob.h -> ../shell/shell/Catalog.h (by the include root instead)"));
    EXPECT_TRUE(bad.contains("vitals/Dial.h -> shell/Catalog.h"));
}
