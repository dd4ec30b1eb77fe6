#pragma once

#include <QByteArray>

// Who holds the desktop's well-known X selections, asked over the application's own X
// connection (one round trip each, no events selected). Without an X11 display (Wayland,
// offscreen) every answer is "nobody".
namespace X11Selections {

// True when some client owns the selection of that name on the default screen; `perScreen`
// names are suffixed with the screen number ("_NET_SYSTEM_TRAY_S" becomes "_NET_SYSTEM_TRAY_S0").
bool hasOwner(const QByteArray& name, bool perScreen = true);

// An XEmbed system tray (freedesktop system tray protocol) is running.
bool xembedTrayRunning();
// A compositing manager is running, so windows may be translucent.
bool compositorRunning();

} // namespace X11Selections
