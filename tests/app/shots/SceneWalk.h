#pragma once

// The walk over every screen pendrel-shots renders (SceneWalkTest.cpp): what it found, and the
// checks each scene's windows go through, one behaviour a file: what assistive technology reads
// and the scroll areas (SceneWalkNames.cpp), Tab and the keys (SceneWalkKeyboard.cpp), focus
// rings (SceneWalkRings.cpp), and text and bounds at the largest text size (SceneWalkText.cpp).

#include <cstddef>
#include <map>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <unordered_map>
#include <utility>

class QScrollBar;
class QWidget;

namespace SceneWalk {

// Where a page may be narrower than its content at the largest text size: the narrowest window
// the app is laid out for.
inline constexpr int kWidestPage = 940;

// Findings that are known and meant, matched as substrings of a finding's line. Each says why.
struct Allowed {
    const char* match;
    const char* why;
};

template <std::size_t N> bool allowed(const QString& finding, const Allowed (&list)[N]) {
    for (const Allowed& a : list) {
        if (finding.contains(QLatin1String(a.match)))
            return true;
    }
    return false;
}

// How a finding names a widget: its class and object name, or its nearest named ancestor (or
// view or pane) when it has none.
QString who(const QWidget* w);

// Focus that comes by keyboard scrolls a control into view; the walk puts every scroll bar of the
// window back where the scene had it.
class KeepScroll {
public:
    explicit KeepScroll(QWidget* window);
    ~KeepScroll();
    KeepScroll(const KeepScroll&) = delete;
    KeepScroll& operator=(const KeepScroll&) = delete;

private:
    QList<std::pair<QPointer<QScrollBar>, int>> m_values;
};

// What the walk found, each finding once with the first scenes it showed in.
class Findings {
public:
    void add(const QString& finding, const QString& scene);
    bool empty() const { return m_found.empty(); }
    QString report() const;

private:
    std::map<QString, QStringList> m_found;
};

struct Walk {
    int scenes = 0;
    int largestScenes = 0;
    Findings unreadable;               // assistive technology
    Findings cut;                      // largest text size: elided text
    Findings wide;                     // largest text size: pages wider than the narrowest window
    Findings unreachable;              // Tab never stops at it
    Findings backwards;                // Tab goes against reading order
    Findings noFocusLook;              // focused, it looks as it did before
    Findings faintFocus;               // its focus look is under 3:1
    Findings actions;                  // an accessible action or key does not do what a click does
    Findings overhang;                 // a child drawn past its parent's edge
    Findings scrollAreas;              // a scroll area that is an empty Tab stop or has no name
    std::map<QString, int> focusTries; // kind and theme -> instances tried; -1 once one showed
    // Buttons already probed: what a button's actions do is the same in every look.
    std::unordered_map<const QWidget*, QPointer<QWidget>> probed;

    // Runs every check on the scene's window and the sheets and dialogs shown over it.
    void visit(QWidget* scene, const QString& name);

    // SceneWalkNames.cpp
    void checkNames(QWidget* window, const QString& name);
    // SceneWalkText.cpp
    void checkLargest(QWidget* window, const QString& name);
    void checkBounds(QWidget* window, const QString& name);
    // SceneWalkKeyboard.cpp
    void checkKeyboard(QWidget* window, const QString& name);
    void checkActions(QWidget* window, const QString& name);
    // SceneWalkRings.cpp
    void checkFocusLook(QWidget* window, QWidget* w, const QString& name);
};

} // namespace SceneWalk
