// Every screen pendrel-shots renders, walked as a screen-reader user, a keyboard user and a reader
// at the largest text size meet it: the scenes are built by the same harness, in the same looks,
// and handed to the checks instead of being written to files. One walk feeds all checks, since
// building the scenes is what costs. Besides names and Tab, it uses each button through its
// accessible actions, Space and Return the way a click uses it (without letting the screen hear
// any of it), measures every control's focus ring against the colours on both sides of it at 3:1
// in both themes, and finds children drawn past their parent's edge at both text sizes. The
// checks are in SceneWalk*.cpp, one behaviour a file.
#include "app/shots/SceneWalk.h"
#include "app/PendrelApp.h"
#include "app/shots/Shots.h"
#include "ui-kit/TextSize.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <QByteArray>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QWidget>

namespace SceneWalk {

QString who(const QWidget* w) {
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        return name + QLatin1Char('#') + w->objectName();
    for (const QWidget* up = w->parentWidget(); up; up = up->parentWidget()) {
        if (!up->objectName().isEmpty())
            return name + QStringLiteral(" in #") + up->objectName();
        if (QByteArray(up->metaObject()->className()).contains("View") ||
            QByteArray(up->metaObject()->className()).contains("Pane"))
            return name + QStringLiteral(" in ") +
                   QString::fromLatin1(up->metaObject()->className());
    }
    return name;
}

KeepScroll::KeepScroll(QWidget* window) {
    for (QScrollBar* bar : window->findChildren<QScrollBar*>())
        m_values.append({bar, bar->value()});
}

KeepScroll::~KeepScroll() {
    for (const auto& [bar, value] : m_values) {
        if (bar)
            bar->setValue(value);
    }
}

void Findings::add(const QString& finding, const QString& scene) {
    QStringList& scenes = m_found[finding];
    if (scenes.size() < 3)
        scenes << scene;
}

QString Findings::report() const {
    QString out;
    for (const auto& [finding, scenes] : m_found)
        out += QStringLiteral("  %1  [%2]\n").arg(finding, scenes.join(QStringLiteral(", ")));
    return out;
}

void Walk::visit(QWidget* scene, const QString& name) {
    ++scenes;
    const bool largest = fontSizeSetting() == TextSize::Largest;
    if (largest)
        ++largestScenes;
    QList<QWidget*> windows{scene->window()};
    for (QWidget* w : scene->window()->findChildren<QWidget*>()) {
        if (w->isWindow() && w->isVisible())
            windows << w;
    }
    for (QWidget* window : windows) {
        checkNames(window, name);
        if (largest)
            checkLargest(window, name);
        checkKeyboard(window, name);
        checkActions(window, name);
        checkBounds(window, name);
    }
}

} // namespace SceneWalk

namespace {

using SceneWalk::Walk;

const Walk& walkOfEveryScene() {
    static const Walk walk = [] {
        Walk w;
        QElapsedTimer clock;
        clock.start();
        const std::unique_ptr<PendrelApp> app = Shots::makeApp();
        ShotContext ctx;
        ctx.app = app.get();
        ctx.visit = [&w](QWidget* scene, const QString& name) { w.visit(scene, name); };
        Shots::renderAll(ctx);
        std::printf("walked %d scenes (%d at the largest text size) in %lld ms\n", w.scenes,
                    w.largestScenes, qint64(clock.elapsed()));
        return w;
    }();
    return walk;
}

} // namespace

TEST(SceneWalk, EveryScreenPassesTheReaderKeyboardAndLargeTextChecks) {
    const Walk& walk = walkOfEveryScene();
    EXPECT_GT(walk.scenes, 200) << "the harness handed over fewer scenes than it renders";
    EXPECT_GT(walk.largestScenes, 40);
    EXPECT_TRUE(walk.unreadable.empty())
        << "controls without a role or name, or text that exposes none:\n"
        << walk.unreadable.report().toStdString();
    EXPECT_TRUE(walk.cut.empty()) << "text cut short at the largest text size:\n"
                                  << walk.cut.report().toStdString();
    EXPECT_TRUE(walk.wide.empty())
        << "pages wider than " << SceneWalk::kWidestPage << " px at the largest text size:\n"
        << walk.wide.report().toStdString();
    EXPECT_TRUE(walk.unreachable.empty()) << "controls Tab never reaches:\n"
                                          << walk.unreachable.report().toStdString();
    EXPECT_TRUE(walk.backwards.empty()) << "Tab order against reading order:\n"
                                        << walk.backwards.report().toStdString();
    EXPECT_TRUE(walk.noFocusLook.empty()) << "controls that do not show focus:\n"
                                          << walk.noFocusLook.report().toStdString();
    EXPECT_TRUE(walk.faintFocus.empty()) << "focus looks that stand under 3:1 apart:\n"
                                         << walk.faintFocus.report().toStdString();
    EXPECT_TRUE(walk.actions.empty())
        << "controls an accessible action or a key does not use as a click does:\n"
        << walk.actions.report().toStdString();
    EXPECT_TRUE(walk.scrollAreas.empty())
        << "scroll areas that stop Tab before their controls, or that have no name:\n"
        << walk.scrollAreas.report().toStdString();
    EXPECT_TRUE(walk.overhang.empty()) << "children that leave their parent's bounds:\n"
                                       << walk.overhang.report().toStdString();
}
