#include "platform/AppSupportFolder.h"

#include "platform/AtomicFile.h"
#include "platform/HomeLayout.h"

#include <algorithm>
#include <cmath>
#include <QFile>
#include <QFileInfo>

AppSupportFolder AppSupportFolder::standard() {
    return AppSupportFolder(HomeLayout::fromEnvironment().appSupportDir());
}

QString AppSupportFolder::pathFor(const QString& fileName) const {
    return m_dir + QLatin1Char('/') + fileName;
}

bool AppSupportFolder::writeBytes(const QString& fileName, const QByteArray& bytes,
                                  QString* error) const {
    // What these files hold (questions asked, the vault's index, the organizer's runs) is for
    // the owner's eyes only; AtomicFile makes the folders 0700 and the file 0600 from its start.
    return AtomicFile::write(pathFor(fileName), bytes, error);
}

bool AppSupportFolder::writeJson(const QString& fileName, const QJsonDocument& doc,
                                 QString* error) const {
    return writeBytes(fileName, doc.toJson(QJsonDocument::Compact), error);
}

AppSupportFolder::ReadStatus AppSupportFolder::readBytes(const QString& fileName, qint64 maxBytes,
                                                         QByteArray* bytes, QString* reason) const {
    const QString path = pathFor(fileName);
    const QFileInfo info(path);
    // A dangling link is something the user has there too: it is not "missing".
    if (!info.exists() && !info.isSymLink())
        return ReadStatus::Missing;
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return ReadStatus::Failed;
    };
    if (!info.isFile())
        return fail(QStringLiteral("not a regular file"));
    if (info.size() > maxBytes)
        return fail(QStringLiteral("%1 bytes is more than the %2 a file of this kind may hold")
                        .arg(info.size())
                        .arg(maxBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // The size may have changed since it was measured: never read past the bound.
    QByteArray data = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (data.size() > maxBytes)
        return fail(
            QStringLiteral("the file grew beyond %1 bytes while it was read").arg(maxBytes));
    if (bytes)
        *bytes = std::move(data);
    return ReadStatus::Read;
}

QString AppSupportFolder::moveAsideUnreadable(const QString& fileName) const {
    const QString path = pathFor(fileName);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    const QString base = path + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    return QFile::rename(path, target) ? target : QString();
}

namespace {
const QDateTime& referenceDate() {
    static const QDateTime ref(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return ref;
}
// About 100,000 years: far inside what QDateTime and a 64-bit count of milliseconds can hold.
constexpr double kSecondsBound = 3.2e12;
} // namespace

double secondsSinceReferenceDate(const QDateTime& date) {
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

QDateTime dateFromReferenceSeconds(double seconds) {
    if (!std::isfinite(seconds))
        seconds = seconds > 0 ? kSecondsBound : -kSecondsBound;
    seconds = std::clamp(seconds, -kSecondsBound, kSecondsBound);
    return referenceDate().addMSecs(qint64(std::llround(seconds * 1000.0)));
}
