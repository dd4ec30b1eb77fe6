#pragma once

#include <functional>
#include <QString>

class QUrl;

// Turns pendrel:// deep links into the app's cross-screen notifications (NotificationCenter).
// Stateless: every operation is static.
//
// Routes, after lower-casing scheme, host and path:
//   pendrel://storage<path>  "corvantoOpenSection" "disk" now, and 0.2 s later (on the main
//                            thread) route(path), which posts "corvantoOpenDiskMode"
//   pendrel://duplicates     "corvantoOpenSection" "duplicates"
//   pendrel://tamso?q=...    "corvantoAskTamso" with the first item named exactly "q"; without
//                            one, or with "q" but no "=", defaultQuestion(). "q=" asks "".
//   any other or no host     "corvantoOpenSection" "dashboard"
// A delayed route is never cancelled: two quick storage links post both modes, in order.
class FinderExtensionBridge {
public:
    using Activate = std::function<void()>;

    // Handles one URL opened with the app. A URL of another scheme or with none is ignored
    // without a trace; a malformed pendrel URL is logged and ignored. Otherwise the route above
    // is posted and then activate is called (bringing the app to the front); activate may be
    // empty. Main thread only.
    static void handle(const QUrl& url, const Activate& activate);

    // Posts "corvantoOpenDiskMode" with the storage-hub mode for a path, compared exactly (it
    // arrives lower-cased): "/screenshots" or "screenshots" gives "screenshots"; "/map", "map" or
    // "/diskmap" gives "diskMap"; "/organizer" or "organizer" gives "organizer"; "/cleanup" or
    // "cleanup" gives "system"; anything else, "" and "/" included, gives "hub".
    static void route(const QString& path);

    // "What should I do about this folder?"
    static QString defaultQuestion();

    // The delay between showing the storage hub and switching its mode, in milliseconds.
    static constexpr int kRouteDelayMs = 200;
};
