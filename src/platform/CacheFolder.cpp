#include "platform/CacheFolder.h"

#include <QFileInfo>
#include <QMutex>
#include <QSet>

struct CacheFolder::HeldFiles {
    mutable QMutex lock;
    QSet<QString> names;

    bool contains(const QString& name) const {
        QMutexLocker locker(&lock);
        return names.contains(name);
    }
    void set(const QString& name, bool held) {
        QMutexLocker locker(&lock);
        if (held)
            names.insert(name);
        else
            names.remove(name);
    }
};

CacheFolder::CacheFolder(AppSupportFolder folder)
    : m_folder(std::move(folder)), m_held(std::make_shared<HeldFiles>()) {}

CacheFolder CacheFolder::standard() {
    return CacheFolder(AppSupportFolder::standard());
}

QString CacheFolder::writeFailureLine(const QString& fileName, const QString& reason) {
    return QStringLiteral("Pendrel cache write failed for %1: %2").arg(fileName, reason);
}

bool CacheFolder::writeJSON(const QJsonDocument& document, const QString& fileName,
                            QString* error) const {
    QString reason;
    bool ok = true;
    if (m_held->contains(fileName)) {
        // The unreadable file is still where this write would go: set it aside first or not at
        // all.
        const QString aside = m_folder.moveAsideUnreadable(fileName);
        if (!aside.isEmpty() || !QFileInfo::exists(m_folder.pathFor(fileName))) {
            m_held->set(fileName, false);
            if (!aside.isEmpty())
                qWarning("Pendrel: the unreadable %s is kept as %s", qPrintable(fileName),
                         qPrintable(aside));
        } else {
            ok = false;
            reason = QStringLiteral("the earlier file could not be read or set aside, so it "
                                    "was left as it is");
        }
    }
    if (ok)
        ok = m_folder.writeJson(fileName, document, &reason);
    if (!ok) {
        qWarning("%s", qPrintable(writeFailureLine(fileName, reason)));
        if (error)
            *error = reason;
    }
    return ok;
}

std::optional<QJsonArray> CacheFolder::parseArray(const QByteArray& bytes) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    return doc.array();
}

CacheFolder::LoadOutcome
CacheFolder::loadBytes(const QString& fileName,
                       const std::function<bool(const QByteArray&)>& accept, qint64 maxBytes,
                       QString* asidePath) const {
    QByteArray bytes;
    QString reason;
    switch (m_folder.readBytes(fileName, maxBytes, &bytes, &reason)) {
    case AppSupportFolder::ReadStatus::Missing:
        return LoadOutcome::Missing;
    case AppSupportFolder::ReadStatus::Read:
        if (accept(bytes))
            return LoadOutcome::Loaded;
        reason = QStringLiteral("it does not decode");
        break;
    case AppSupportFolder::ReadStatus::Failed:
        break;
    }
    const QString aside = m_folder.moveAsideUnreadable(fileName);
    if (aside.isEmpty()) {
        m_held->set(fileName, true);
        qWarning("Pendrel: %s could not be read (%s) nor set aside; it will not be overwritten",
                 qPrintable(fileName), qPrintable(reason));
        return LoadOutcome::Held;
    }
    m_held->set(fileName, false);
    qWarning("Pendrel: %s could not be read (%s); kept as %s", qPrintable(fileName),
             qPrintable(reason), qPrintable(aside));
    if (asidePath)
        *asidePath = aside;
    return LoadOutcome::MovedAside;
}

bool CacheFolder::isHeld(const QString& fileName) const {
    return m_held->contains(fileName);
}
