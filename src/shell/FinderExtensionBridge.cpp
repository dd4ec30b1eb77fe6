#include "shell/FinderExtensionBridge.h"

#include "platform/NotificationCenter.h"
#include "shell/ScreenModes.h"

#include <QCoreApplication>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace {

// The question a "tamso" link asks: the first query item named exactly "q" (case-sensitive).
// A link without that item, or whose "q" has no "=", asks the default question; "q=" gives the
// empty question, which only shows the assistant.
QString questionOf(const QUrl& url) {
    if (!url.hasQuery())
        return FinderExtensionBridge::defaultQuestion();
    const QString value = QUrlQuery(url).queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
    return value.isNull() ? FinderExtensionBridge::defaultQuestion() : value;
}

} // namespace

QString FinderExtensionBridge::defaultQuestion() {
    return QStringLiteral("What should I do about this folder?");
}

void FinderExtensionBridge::handle(const QUrl& url, const Activate& activate) {
    const QString scheme = url.scheme().toLower();
    if (scheme.isEmpty() || scheme != QLatin1String("pendrel"))
        return;
    if (!url.isValid()) {
        qWarning("Pendrel: ignored a link that could not be read: %s",
                 qPrintable(url.errorString()));
        return;
    }

    NotificationCenter& center = NotificationCenter::defaultCenter();
    const QString host = url.host(QUrl::FullyDecoded).toLower();
    const QString path = url.path(QUrl::FullyDecoded).toLower();

    if (host == QLatin1String("storage")) {
        center.post(Notifications::OpenSection, QStringLiteral("disk"));
        // The hub is selected first; its mode changes once it is on screen.
        QTimer::singleShot(kRouteDelayMs, QCoreApplication::instance(),
                           [path] { FinderExtensionBridge::route(path); });
    } else if (host == QLatin1String("duplicates")) {
        center.post(Notifications::OpenSection, QStringLiteral("duplicates"));
    } else if (host == QLatin1String("tamso")) {
        center.post(Notifications::AskTamso, questionOf(url));
    } else {
        center.post(Notifications::OpenSection, QStringLiteral("dashboard"));
    }

    if (activate)
        activate();
}

void FinderExtensionBridge::route(const QString& path) {
    DiskMode mode = DiskMode::Hub;
    if (path == QLatin1String("/screenshots") || path == QLatin1String("screenshots"))
        mode = DiskMode::Screenshots;
    else if (path == QLatin1String("/map") || path == QLatin1String("map") ||
             path == QLatin1String("/diskmap"))
        mode = DiskMode::DiskMap;
    else if (path == QLatin1String("/organizer") || path == QLatin1String("organizer"))
        mode = DiskMode::Organizer;
    else if (path == QLatin1String("/cleanup") || path == QLatin1String("cleanup"))
        mode = DiskMode::System;
    NotificationCenter::defaultCenter().post(Notifications::OpenDiskMode, rawValue(mode));
}
