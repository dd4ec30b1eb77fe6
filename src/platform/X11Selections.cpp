#include "platform/X11Selections.h"

#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* applicationConnection() {
    auto* app = qGuiApp;
    if (!app)
        return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The screen part of DISPLAY (":0.1" is screen 1); 0 when it has none or cannot be read.
int defaultScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = display.indexOf('.', colon < 0 ? 0 : colon);
    if (colon < 0 || dot < 0)
        return 0;
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 && screen < 64 ? screen : 0;
}

} // namespace

namespace X11Selections {

bool hasOwner(const QByteArray& name, bool perScreen) {
    xcb_connection_t* c = applicationConnection();
    if (!c || xcb_connection_has_error(c))
        return false;
    const QByteArray full = perScreen ? name + QByteArray::number(defaultScreenNumber()) : name;
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(c, /*only_if_exists=*/1, uint16_t(full.size()), full.constData());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, atomCookie, nullptr), &std::free);
    // An atom nobody ever made cannot name an owned selection.
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

bool xembedTrayRunning() {
    return hasOwner(QByteArrayLiteral("_NET_SYSTEM_TRAY_S"));
}

bool compositorRunning() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return true; // every Wayland desktop composites
    return hasOwner(QByteArrayLiteral("_NET_WM_CM_S"));
}

} // namespace X11Selections
