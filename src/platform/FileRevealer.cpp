#include "platform/FileRevealer.h"

#include "platform/NativePath.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>

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

namespace {

// In clean form; a relative path is taken from the working folder. By text only, so escaped
// bytes stay as they are.
QString absolutePath(const QString& path) {
    return QDir::cleanPath(
        path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path);
}

QByteArray uriBytes(const QString& absolute) {
    return "file://" + NativePath::encode(absolute).toPercentEncoding("/");
}

} // namespace

QString FileManagerRevealer::fileUri(const QString& path) {
    return QString::fromLatin1(uriBytes(absolutePath(path)));
}

QUrl FileManagerRevealer::fallbackFolder(const QString& path) {
    const QString absolute = absolutePath(path);
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    return QUrl::fromEncoded(uriBytes(slash <= 0 ? QStringLiteral("/") : absolute.left(slash)));
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
    call << QStringList{fileUri(path)} << QString();
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
