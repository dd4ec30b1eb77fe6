// Keeps the folder order of src/: every #include "…" must point down the layers, never up or
// sideways into another subsystem's widgets. The allowed pairs are the table below; the rule is
// written out in CONVENTIONS.md.
#include "support/TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

// The layer of a path under src/: "platform", "ui-kit", "app" (the screenshot scenes in app/shots/
// with it), "fakes", a core folder
// ("vitals", "cleaning", …) or a views folder ("vitals/views").
QString layerOf(const QString& relative) {
    const QStringList parts = relative.split(QLatin1Char('/'));
    if (parts.size() > 2 && parts.at(1) == QLatin1String("views"))
        return parts.at(0) + QStringLiteral("/views");
    return parts.at(0);
}

bool isCore(const QString& layer) {
    static const QSet<QString> notCore = {"platform", "ui-kit", "app", "fakes"};
    return !notCore.contains(layer) && !layer.endsWith(QLatin1String("/views"));
}

// Whether a file in layer `from` may include a file in layer `to`. The composition side (app/,
// its screenshot scenes included) may include anything. Core folders other than vitals and shell
// may include each other; cycles among them are caught separately.
bool allowed(const QString& from, const QString& to) {
    if (from == to || from == QLatin1String("app") || to == QLatin1String("platform"))
        return true;
    if (from == QLatin1String("platform"))
        return false;
    if (from == QLatin1String("ui-kit"))
        return false; // only itself and platform
    if (from == QLatin1String("fakes"))
        return isCore(to);
    if (from.endsWith(QLatin1String("/views")))
        return to == QLatin1String("ui-kit") || isCore(to);
    // A core folder.
    if (!isCore(to))
        return false;
    if (from == QLatin1String("vitals"))
        return false; // vitals stands on platform alone
    if (from == QLatin1String("shell"))
        return to == QLatin1String("vitals");
    return true;
}

struct Include {
    QString file;
    QString target;
    // Written with "../": found next to the including file, past the include roots and so past
    // the layer it would be checked against.
    bool climbs = false;
};

// Every include of a project header under root, with its file relative to root.
QList<Include> includesUnder(const QString& root) {
    static const QRegularExpression line(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
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
            const QString target = m.next().captured(1);
            if (target.startsWith(QLatin1String("../")) || target.contains(QLatin1String("/../")))
                found.append({relative, target, true});
            else if (QFile::exists(root + QLatin1Char('/') + target))
                found.append({relative, target});
        }
    }
    return found;
}

// One line per include against the order, and one per cycle among core folders.
QStringList violations(const QString& root) {
    QStringList bad;
    QHash<QString, QSet<QString>> coreEdges;
    for (const Include& inc : includesUnder(root)) {
        if (inc.climbs) {
            bad << inc.file + QStringLiteral(" -> ") + inc.target +
                       QStringLiteral(" (by the include root instead)");
            continue;
        }
        const QString from = layerOf(inc.file), to = layerOf(inc.target);
        if (!allowed(from, to))
            bad << inc.file + QStringLiteral(" -> ") + inc.target;
        else if (from != to && isCore(from) && isCore(to))
            coreEdges[from].insert(to);
    }
    // Depth-first search for a cycle among the core folders.
    QHash<QString, int> state; // 1 on the path, 2 done
    QStringList path;
    std::function<void(const QString&)> visit = [&](const QString& node) {
        state[node] = 1;
        path << node;
        for (const QString& next : coreEdges.value(node)) {
            if (state.value(next) == 1)
                bad << QStringLiteral("core folders include each other: ") +
                           path.mid(path.indexOf(next)).join(QStringLiteral(" -> ")) +
                           QStringLiteral(" -> ") + next;
            else if (state.value(next) == 0)
                visit(next);
        }
        path.removeLast();
        state[node] = 2;
    };
    for (auto it = coreEdges.cbegin(); it != coreEdges.cend(); ++it)
        if (state.value(it.key()) == 0)
            visit(it.key());
    return bad;
}

using testsupport::write;

} // namespace

TEST(IncludeOrder, EveryIncludeInTheSourceTreeFollowsTheFolderOrder) {
    const QStringList bad = violations(QStringLiteral(PENDREL_SOURCE_DIR "/src"));
    EXPECT_TRUE(bad.isEmpty()) << qPrintable(bad.join(QLatin1Char('\n')));
}

TEST(IncludeOrder, BackwardIncludesAndCyclesAreCaught) {
    const QString root = testsupport::freshDir(QStringLiteral("layers"));
    write(root + "/platform/Files.h", "#pragma once\n");
    write(root + "/vitals/Sampler.h", "#include \"platform/Files.h\"\n");
    write(root + "/shell/Catalog.h", "#include \"vitals/Sampler.h\"\n");
    write(root + "/ui-kit/Card.h", "#include \"platform/Files.h\"\n");
    write(root + "/vitals/views/Panel.h",
          "#include \"ui-kit/Card.h\"\n#include \"shell/Catalog.h\"\n");
    write(root + "/app/Main.cpp", "#include \"vitals/views/Panel.h\"\n");
    write(root + "/app/shots/Harness.h", "#include \"ui-kit/Card.h\"\n");
    write(root + "/app/shots/Scene.cpp",
          "#include \"app/shots/Harness.h\"\n#include \"vitals/views/Panel.h\"\n#include "
          "\"shell/Catalog.h\"\n");
    EXPECT_EQ(violations(root), QStringList());

    // Up the layers, into another subsystem's widgets, into the screenshot scenes, and a cycle
    // between two cores.
    write(root + "/vitals/Text.h", "#include \"shell/Catalog.h\"\n");
    write(root + "/shell/views/Row.h", "#include \"vitals/views/Panel.h\"\n");
    write(root + "/ui-kit/Badge.h", "#include \"vitals/Sampler.h\"\n");
    write(root + "/cleaning/Scanner.h", "#include \"home/Check.h\"\n");
    write(root + "/home/Check.h", "#include \"cleaning/Scanner.h\"\n");
    write(root + "/shell/Screens.h", "#include \"app/shots/Harness.h\"\n");
    // Climbing out of the folder and back into one it may not see.
    write(root + "/vitals/Gauge.h", "#include \"../shell/Catalog.h\"\n");
    const QStringList bad = violations(root);
    EXPECT_TRUE(bad.contains("vitals/Text.h -> shell/Catalog.h")) << qPrintable(bad.join('\n'));
    EXPECT_TRUE(bad.contains("shell/views/Row.h -> vitals/views/Panel.h"));
    EXPECT_TRUE(bad.contains("ui-kit/Badge.h -> vitals/Sampler.h"));
    EXPECT_TRUE(bad.contains("shell/Screens.h -> app/shots/Harness.h"));
    EXPECT_TRUE(bad.contains("vitals/Gauge.h -> ../shell/Catalog.h (by the include root instead)"));
    EXPECT_EQ(bad.filter("core folders include each other").size(), 1);
    EXPECT_EQ(bad.size(), 6);
}
