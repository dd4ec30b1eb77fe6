// The walk's screen-reader user: every control and text read through the accessible tree, and
// every scroll area named and no empty Tab stop before its controls. The harness titles each
// window after the section it hosts, as the main window is titled, so no scroll area is read in a
// screen without a name and each is judged as the app shows it.
#include "app/shots/SceneWalk.h"
#include "support/AccessibleAudit.h"

namespace SceneWalk {

void Walk::checkNames(QWidget* window, const QString& name) {
    for (const QString& p : testsupport::accessibilityProblems(window))
        unreadable.add(p, name);
    for (const QString& p : testsupport::scrollAreaProblems(window))
        scrollAreas.add(p, name);
}

} // namespace SceneWalk
