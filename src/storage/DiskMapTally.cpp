#include "storage/DiskMapTally.h"

#include "platform/ByteFormat.h"
#include "storage/DiskMapText.h"

DiskMapTally::DiskMapTally(qint64 total, CancelToken token, Report report,
                           std::chrono::milliseconds throttle)
    : m_total(total), m_token(std::move(token)), m_report(std::move(report)), m_throttle(throttle) {
}

void DiskMapTally::add(qint64 files, qint64 bytes, const QString& folderName) {
    QString text;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_filesSeen += files;
        m_bytesSeen += bytes;
        if (!folderName.isEmpty())
            // A copy of its own: the caller's string may share its buffer with threads that free
            // it later, and the text is read under this lock only.
            m_currentFolder = QString(folderName.constData(), folderName.size());
        const auto now = std::chrono::steady_clock::now();
        if (m_reported && now - m_lastReport < m_throttle)
            return;
        m_reported = true;
        m_lastReport = now;
        text = textLocked();
    }
    if (m_report)
        m_report(text);
}

void DiskMapTally::folderDone() {
    QString text;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_finished;
        m_reported = true;
        m_lastReport = std::chrono::steady_clock::now();
        text = textLocked();
    }
    if (m_report)
        m_report(text);
}

void DiskMapTally::countUnreadable() {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_unreadable;
}

qint64 DiskMapTally::cloudSkipped() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_cloudSkipped;
}

qint64 DiskMapTally::unreadable() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_unreadable;
}

qint64 DiskMapTally::finished() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_finished;
}

qint64 DiskMapTally::filesSeen() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_filesSeen;
}

qint64 DiskMapTally::bytesSeen() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bytesSeen;
}

QString DiskMapTally::textLocked() const {
    return progressText(m_bytesSeen, m_filesSeen, m_finished, m_total, m_currentFolder);
}

QString DiskMapTally::progressText(qint64 bytes, qint64 files, qint64 finished, qint64 total,
                                   const QString& currentFolder) {
    return DiskMapText::measuredLine(bytes, files, finished, total, currentFolder);
}
