#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Notices writes that escaped the test sandbox into the real home folder.
//
// It remembers, before the tests, the modification times of the real home's top folders and of
// the places this app writes to (settings, data, Trash, autostart), and lists every file under
// the app's own folders. After the tests, anything created, removed or changed there is reported.
// A folder's modification time changes whenever an entry is added to or removed from it, so a
// new file directly in a watched folder is seen without walking the whole home.
class HomeGuard {
public:
    explicit HomeGuard(const QString& realHome);
    QStringList changes() const;

private:
    QMap<QString, QString> snapshot() const;
    QString m_home;
    QStringList m_watched;
    QStringList m_walked;
    QMap<QString, QString> m_before;
};
