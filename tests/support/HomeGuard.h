#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class HomeLayout;

// Notices writes that escaped the test sandbox into the real home folder.
//
// It watches what the app itself could write there, and nothing else: the entries named after
// the app in the home and in each base folder (settings, data, cache, state), the Trash, the
// autostart and applications folders and the keyrings. Before the tests it lists every file in
// them; after, anything created, removed or changed there is reported. A shared folder changing
// (another program making ~/.config/procps while the tests run) is no escape and is not watched.
class HomeGuard {
public:
    // The real home as the environment placed it before the sandbox replaced it.
    explicit HomeGuard(const HomeLayout& real);
    QStringList changes() const;

private:
    QMap<QString, QString> snapshot() const;
    QStringList m_named; // folders whose entries named after the app are watched
    QStringList m_walked;
    QMap<QString, QString> m_before;
};
