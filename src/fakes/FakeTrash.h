#pragma once

#include "platform/NativePath.h"
#include "platform/Trash.h"

#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

// A Trash in a folder of the test's choosing: items are renamed into <folder>/files (numbered
// when a name is taken) and every move and erase is recorded. Paths listed in failures fail with
// their message and stay where they are, which is how tests reach "permission denied" while
// running as root.
class FakeTrash : public Trash {
public:
    explicit FakeTrash(QString trashDir) : m_dir(QDir::cleanPath(trashDir)) {}

    [[nodiscard]] bool moveToTrash(const QString& path, QString* error) override {
        QMutexLocker guard(&m_lock);
        const QString source = QDir::cleanPath(path);
        if (m_failures.contains(source) || !m_refuseAll.isEmpty()) {
            if (error)
                *error = m_refuseAll.isEmpty() ? m_failures.value(source) : m_refuseAll;
            return false;
        }
        QFileInfo info(source);
        if (!info.exists() && !info.isSymLink()) {
            if (error)
                *error = QStringLiteral("No such file or directory");
            return false;
        }
        QDir().mkpath(itemsFolder());
        QString target = itemsFolder() + QLatin1Char('/') + info.fileName();
        for (int n = 2; QFileInfo(target).exists() || QFileInfo(target).isSymLink(); ++n)
            target = itemsFolder() + QLatin1Char('/') + info.fileName() + QLatin1Char('.') +
                     QString::number(n);
        if (std::rename(NativePath::encode(source).constData(),
                        NativePath::encode(target).constData()) != 0) {
            if (error)
                *error = QStringLiteral("Could not move");
            return false;
        }
        m_moved.append(source);
        m_trashedAs.insert(source, target);
        return true;
    }

    QString itemsFolder() const override { return m_dir + QStringLiteral("/files"); }

    [[nodiscard]] bool erase(const QString& itemPath, QString* error) override {
        QMutexLocker guard(&m_lock);
        const QString item = QDir::cleanPath(itemPath);
        if (QFileInfo(item).path() != itemsFolder()) {
            if (error)
                *error = QStringLiteral("It is not an item of the Trash");
            return false;
        }
        if (m_failures.contains(item)) {
            if (error)
                *error = m_failures.value(item);
            return false;
        }
        const QFileInfo info(item);
        const bool ok = info.isDir() && !info.isSymLink() ? QDir(item).removeRecursively()
                                                          : QFile::remove(item);
        if (ok)
            m_erased.append(item);
        else if (error)
            *error = QStringLiteral("Could not remove");
        return ok;
    }

    // The next move or erase of path fails with this message.
    void failFor(const QString& path, const QString& message) {
        QMutexLocker guard(&m_lock);
        m_failures.insert(QDir::cleanPath(path), message);
    }
    // Every move from now on fails with this message (empty: moves work again).
    void refuseAll(const QString& message) {
        QMutexLocker guard(&m_lock);
        m_refuseAll = message;
    }
    QStringList moved() const {
        QMutexLocker guard(&m_lock);
        return m_moved;
    }
    QStringList erased() const {
        QMutexLocker guard(&m_lock);
        return m_erased;
    }
    // Where a moved path went, or empty.
    QString trashedAs(const QString& path) const {
        QMutexLocker guard(&m_lock);
        return m_trashedAs.value(QDir::cleanPath(path));
    }

private:
    QString m_dir;
    mutable QMutex m_lock;
    QHash<QString, QString> m_failures;
    QString m_refuseAll;
    QStringList m_moved;
    QStringList m_erased;
    QHash<QString, QString> m_trashedAs;
};
