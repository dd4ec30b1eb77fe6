#include "platform/AppSupportFolder.h"

#include "platform/AtomicFile.h"
#include "platform/HomeLayout.h"

#include <QFile>

AppSupportFolder AppSupportFolder::standard() {
    return AppSupportFolder(HomeLayout::fromEnvironment().appSupportDir());
}

QString AppSupportFolder::pathFor(const QString& fileName) const {
    return m_dir + QLatin1Char('/') + fileName;
}

bool AppSupportFolder::writeJson(const QString& fileName, const QJsonDocument& doc,
                                 QString* error) const {
    return AtomicFile::write(pathFor(fileName), doc.toJson(QJsonDocument::Compact), error);
}

std::optional<QJsonDocument> AppSupportFolder::readJson(const QString& fileName) const {
    QFile file(pathFor(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    file.close();
    QJsonParseError parseError{};
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        const QString aside = AtomicFile::moveAsideCorrupt(pathFor(fileName));
        qWarning("Pendrel: %s could not be decoded (%s); kept as %s", qPrintable(fileName),
                 qPrintable(parseError.errorString()), qPrintable(aside));
        return std::nullopt;
    }
    return doc;
}

QString AppSupportFolder::writeFailureLine(const QString& fileName, const QString& reason) {
    return QStringLiteral("Pendrel cache write failed for %1: %2").arg(fileName, reason);
}

void AppSupportFolder::logWriteFailure(const QString& fileName, const QString& reason) {
    qWarning("%s", qPrintable(writeFailureLine(fileName, reason)));
}

namespace {
const QDateTime& referenceDate() {
    static const QDateTime ref(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return ref;
}
} // namespace

double secondsSinceReferenceDate(const QDateTime& date) {
    return double(referenceDate().msecsTo(date)) / 1000.0;
}

QDateTime dateFromReferenceSeconds(double seconds) {
    return referenceDate().addMSecs(qint64(seconds * 1000.0));
}
