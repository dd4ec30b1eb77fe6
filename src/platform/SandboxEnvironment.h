#pragma once

#include <QString>
#include <QTemporaryDir>

// Points HOME and every XDG_* variable at one fresh temporary folder, for tests and offscreen
// rendering, so nothing they do can reach the user's real files, settings or Trash. Must be
// made before QApplication (Qt reads some of these once). The folder is removed when this
// object goes, unless keep() was called.
class SandboxEnvironment {
public:
    SandboxEnvironment();
    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    // The HOME that was in force before (the real one).
    QString originalHome() const { return m_originalHome; }
    void keep() { m_dir.setAutoRemove(false); }

private:
    QTemporaryDir m_dir;
    QString m_originalHome;
};
