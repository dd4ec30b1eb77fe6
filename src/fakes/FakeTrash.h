#pragma once

#include "platform/FoundRoot.h"
#include "platform/NativePath.h"
#include "platform/Trash.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
// running as root. A found item moves out of the folder FoundRoot reaches, as the real Trash
// moves it, so a folder swapped for a link leads nowhere here either.
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
        const QString target = freeTarget(info.fileName());
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

    [[nodiscard]] bool moveFoundToTrash(const FoundRoot& root, const QString& path, const Vet& vet,
                                        QString* error) override {
        QMutexLocker guard(&m_lock);
        const QString source = QDir::cleanPath(path);
        const auto fail = [error](const QString& reason) {
            if (error)
                *error = reason;
            return false;
        };
        if (m_failures.contains(source) || !m_refuseAll.isEmpty())
            return fail(m_refuseAll.isEmpty() ? m_failures.value(source) : m_refuseAll);
        const FoundRoot::Reached reached = root.reach(source);
        if (reached.error == FoundRoot::NotBelow)
            return fail(notBelowText());
        if (reached.error == ELOOP || reached.error == ENOTDIR)
            return fail(movedAwayText());
        struct stat st;
        if (reached.error != 0 || ::fstatat(reached.folder.get(), reached.name.constData(), &st,
                                            AT_SYMLINK_NOFOLLOW) != 0)
            return fail(
                QString::fromLocal8Bit(std::strerror(reached.error ? reached.error : errno)));
        if (const QString reason = vet ? vet(st) : QString(); !reason.isEmpty())
            return fail(reason);
        const QString target = freeTarget(QFileInfo(source).fileName());
        if (::renameat(reached.folder.get(), reached.name.constData(), AT_FDCWD,
                       NativePath::encode(target).constData()) != 0)
            return fail(QStringLiteral("Could not move"));
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
    // A name in the items folder that nothing holds yet; the folder is made.
    QString freeTarget(const QString& fileName) const {
        QDir().mkpath(itemsFolder());
        QString target = itemsFolder() + QLatin1Char('/') + fileName;
        for (int n = 2; QFileInfo(target).exists() || QFileInfo(target).isSymLink(); ++n)
            target =
                itemsFolder() + QLatin1Char('/') + fileName + QLatin1Char('.') + QString::number(n);
        return target;
    }

    QString m_dir;
    mutable QMutex m_lock;
    QHash<QString, QString> m_failures;
    QString m_refuseAll;
    QStringList m_moved;
    QStringList m_erased;
    QHash<QString, QString> m_trashedAs;
};
