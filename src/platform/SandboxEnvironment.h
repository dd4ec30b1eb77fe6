#pragma once

#include <optional>
#include <QString>
#include <QTemporaryDir>

// Points HOME and every XDG_* variable at one fresh temporary folder, for tests and offscreen
// rendering, so nothing they do can reach the user's real files, settings or Trash. Must be
// made before QApplication (Qt reads some of these once). The folder is removed when this
// object goes, unless keep() was called.
class SandboxEnvironment {
public:
    // A fresh folder with a random name in the system's temporary folder.
    SandboxEnvironment();
    // The folder at `root`, emptied (made if missing), for output that shows the paths and must
    // read the same on every run (pendrel-shots). The caller makes sure no other run uses the
    // same root at the same time.
    explicit SandboxEnvironment(const QString& root);
    ~SandboxEnvironment();
    SandboxEnvironment(const SandboxEnvironment&) = delete;
    SandboxEnvironment& operator=(const SandboxEnvironment&) = delete;

    bool isValid() const { return m_valid; }
    QString root() const { return m_root; }
    QString home() const { return m_root + QStringLiteral("/home"); }
    // The HOME that was in force before (the real one).
    QString originalHome() const { return m_originalHome; }
    void keep() { m_keep = true; }

private:
    void pointAtRoot();

    std::optional<QTemporaryDir> m_random; // the random folder; none for a fixed root
    QString m_root;
    bool m_valid = false;
    bool m_keep = false;
    QString m_originalHome;
};
