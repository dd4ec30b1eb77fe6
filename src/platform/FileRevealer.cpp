#include "platform/FileRevealer.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>

namespace {
const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
constexpr int kCallTimeoutMs = 5000;
} // namespace

FileManagerRevealer::FileManagerRevealer(Bus bus, OpenUrl openUrl)
    : m_bus(std::move(bus)), m_open(std::move(openUrl)) {
    if (!m_bus)
        m_bus = [] { return QDBusConnection::sessionBus(); };
    if (!m_open)
        m_open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QUrl FileManagerRevealer::fallbackFolder(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absolutePath());
}

void FileManagerRevealer::reveal(const QString& path, Outcome outcome) {
    const QUrl folder = fallbackFolder(path);
    OpenUrl open = m_open;
    // The opener's answer is the outcome: an opener that finds no launcher says false.
    auto fallBack = [open, folder, outcome] {
        const bool opened = open(folder);
        if (outcome)
            outcome(opened);
    };
    QDBusConnection bus = m_bus();
    if (!bus.isConnected()) {
        fallBack();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("ShowItems"));
    // URIs go fully encoded: file managers hand them to URI parsers that expect escapes.
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())
                            .toString(QUrl::FullyEncoded)}
         << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [fallBack, outcome](QDBusPendingCallWatcher* w) {
                         if (QDBusPendingReply<> reply = *w; reply.isError())
                             fallBack();
                         else if (outcome)
                             outcome(true);
                         w->deleteLater();
                     });
}
