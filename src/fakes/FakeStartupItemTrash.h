#pragma once

#include "apps/StartupItemTrash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// A Trash in a folder of the caller's choosing: files "moved to the Trash" land there under
// their own name (a counter keeps repeats apart). It can be told to refuse.
class FakeStartupItemTrash final : public StartupItemTrash {
public:
    explicit FakeStartupItemTrash(QString folder) : m_folder(std::move(folder)) {}

    bool moveToTrash(const QString& path, QString* error) override {
        trashed << path;
        if (refuse) {
            if (error)
                *error = refusal;
            return false;
        }
        QDir().mkpath(m_folder);
        const QString target = m_folder + QLatin1Char('/') + QString::number(++m_count) +
                               QLatin1Char('-') + QFileInfo(path).fileName();
        if (!QFile::rename(path, target)) {
            if (error)
                *error = QStringLiteral("could not move into the fake Trash");
            return false;
        }
        return true;
    }

    QString folder() const { return m_folder; }
    QStringList trashed;
    bool refuse = false;
    QString refusal = QStringLiteral("The Trash is not available.");

private:
    QString m_folder;
    int m_count = 0;
};
