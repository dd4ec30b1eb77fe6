#pragma once

#include <QString>

// Points HOME and every XDG_* variable at one fresh temporary folder, for tests and offscreen
// rendering, so nothing they do can reach the user's real files, settings or Trash. Must be
// made before QApplication (Qt reads some of these once).
//
// The folder is made by this object, owner-only, and never taken over: a name someone else holds
// (a link planted at it, a folder left by a run that did not finish) is never entered, emptied or
// removed. When this object goes, what lies in the folder it made is removed, unless keep() was
// called; links are removed as links, never followed, and nothing of another file system or
// mount is entered.
class SandboxEnvironment {
public:
    enum class Name {
        Random, // a template whose trailing "XXXXXX" is replaced to make a name no one holds
        Exact,  // exactly the path given, made now, or nothing when anything is there already
    };

    // A fresh folder with a random name in the system's temporary folder.
    SandboxEnvironment();
    // A fresh folder at `path`, made as `name` says. Exact is for output that shows the paths and
    // must read the same on every run (pendrel-shots); the caller makes sure no other run of its
    // own takes the same path at the same time, and has a Random one to fall back on when
    // taken().
    SandboxEnvironment(const QString& path, Name name);
    ~SandboxEnvironment();
    SandboxEnvironment(const SandboxEnvironment&) = delete;
    SandboxEnvironment& operator=(const SandboxEnvironment&) = delete;

    bool isValid() const { return m_fd >= 0; }
    // Not made because something already is at the exact path; it was left as it was.
    bool taken() const { return m_taken; }
    QString root() const { return m_root; }
    QString home() const { return m_root + QStringLiteral("/home"); }
    // The HOME that was in force before (the real one).
    QString originalHome() const { return m_originalHome; }
    void keep() { m_keep = true; }

private:
    void pointAtRoot();
    void removeMade();

    QString m_root;
    int m_fd = -1; // the folder this object made, held open so only it is ever emptied
    bool m_taken = false;
    bool m_keep = false;
    QString m_originalHome;
};
