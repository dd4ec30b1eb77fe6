#pragma once

#include "ui-kit/DeleteCode.h"

#include <functional>
#include <memory>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

class PendrelApp;
class QDateTime;
struct SystemSnapshot;
class QImage;
class QSize;
class QVBoxLayout;
class QWidget;

// One of the four looks the screens are shot in: light or dark, at the smallest (0) or the
// largest (4) text-size step.
struct ShotLook {
    bool dark = false;
    int step = 0;

    // "Light" or "Dark", as the appearance setting stores it.
    QString appearance() const;
    // What a shot's name carries for this look: "-step0", "-step4-dark".
    QString suffix() const;
};

// What pendrel-shots hands to each group of screens it renders.
struct ShotContext {
    PendrelApp* app = nullptr;
    QString outDir;
    int failures = 0;
    // When set, each scene is handed to it, shown and laid out as for its shot, instead of being
    // written: tests walk the very screens the shots show. It may change the look or the focus
    // for a while but leaves the scene as it found it, since the next shot builds on it.
    std::function<void(QWidget* widget, const QString& name)> visit;

    // Shows the widget offscreen, lets it lay out, and writes <outDir>/<name>.png (or visits it).
    void save(QWidget* widget, const QString& name);
    // Writes an image drawn or grabbed by the scene itself as <outDir>/<name>.png; nothing when
    // visiting, as there is no widget behind it to walk.
    void saveImage(const QImage& image, const QString& name);
    // Shows the window, lets `ready` bring its screen to the state shot (a scan ended, say),
    // saves it as <name> and hides it again.
    void saveWhenReady(QWidget* window, const QString& name, const std::function<void()>& ready);
    // Nested word-wrapped cards settle one layout level per event-loop turn; a live window keeps
    // turning, a shot must wait for the last level before it grabs.
    void saveSettled(QWidget* window, const QString& name);

    // Switches every window to an appearance ("Light", "Dark", "Match macOS") and a text-size
    // step through the user's settings, as the user would; resetLook() goes back to the defaults.
    void setLook(const QString& appearance, int step);
    void setTextSize(int step);
    void resetLook();

    // Runs `shoot` in each look (light at step 0 and 4, then dark at step 0 and 4), switched
    // before each call, and goes back to the default look after the last.
    void eachLook(const std::function<void(const ShotLook&)>& shoot);
    // Saves the window as <name><look suffix> in each look, sized `small` at the smallest text
    // size and `large` at the largest, settled before each grab.
    void saveLooks(QWidget* window, const QString& name, const QSize& small, const QSize& large);
};

// What the scenes share: hosting a screen in a window, waiting for it, and the files of the
// generated homes they show. Everything runs on the main thread.
namespace Shots {

inline constexpr qint64 MiB = 1024 * 1024;

// The moment the scenes' clocks stand at, so what a screen says of dates and ages reads the same
// on every run: 1 June 2026, 09:41 local time.
QDateTime now();

// Puts the window under the theme and gives it a margin-less column for the screen it shows,
// which is that of the section `section` (a feature id of the catalog) or a part of it. The
// window is titled after the section, as the main window is while it shows it, so assistive
// technology reads the screen, and the page it scrolls, by that title as in the app. An id the
// catalog does not have ends the run: a scene is named after a section the app has.
QVBoxLayout* column(QWidget* window, const QString& section);
// A new themed top-level window (the caller owns it) with the view filling it, titled after the
// section as column() does.
QWidget* frame(QWidget* view, const QString& section);

// Lets the event loop turn `turns` times, so queued work and layouts catch up.
void settle(int turns = 12);
// As settle, but each turn first waits until the global thread pool is idle, so work handed to
// it (the vault's keyring calls, for one) has ended and delivered before the grab. Never while
// the scene holds a pool task on a gate: the wait would not end.
void drain(int turns = 12);
// Turns the event loop until `done` holds or `ms` milliseconds have passed; false on timeout.
bool waitFor(const std::function<bool()>& done, int ms = 5000);

// While it lives, drops the results that work on other threads hands back to the main thread
// (the queued calls the application object carries, as ScanJob::deliver makes them), so a screen
// caught waiting stays so for the grab however fast the machine is. What was dropped never
// arrives: the scene cancels or restarts that work afterwards.
class DropDeliveries : public QObject {
public:
    DropDeliveries();
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The source of the typed codes of delete sheets in the shots: always the same code, where the
// app draws a random one.
DeleteCode::RandomSource fixedCode();
// Makes every delete confirmation under `root` (built so far) draw its code from fixedCode().
void fixCodes(QWidget* root);

// The folder <home of the shots>/<relative>, emptied (made if missing).
QString freshFolder(const QString& relative);
// Writes the bytes to path, its folders made as needed; returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);
// Sets the file's last change to `when` (screens that show it read the same on every run).
void setModified(const QString& path, const QDateTime& when);
// A file of `bytes` that takes no room on disk, its folders made as needed; with `accessDaysAgo`
// above 0, last read and changed that many days ago.
void sparse(const QString& path, qint64 bytes, double accessDaysAgo = 0);
// A file that takes `bytes` on disk (the blocks are only reserved where the file system can),
// its folders made as needed.
void reserve(const QString& path, qint64 bytes);
// `count` files in home/folder named by `pattern` with a four-digit number, each about `bytes`
// (a little more for some, so sizes differ).
void many(const QString& home, const QString& folder, const QString& pattern, int count,
          qint64 bytes);

// The machine the app's own windows show (the main window's sections): a laptop at ease, with
// plenty of room.
SystemSnapshot everydayLaptop();
// A process among the biggest users of memory, and among the busiest (pid 0: unknown).
void addMemory(SystemSnapshot& s, const char* name, quint64 bytes, qint64 pid);
void addCpu(SystemSnapshot& s, const char* name, double percent, qint64 pid = 0);

} // namespace Shots

namespace Shots {

// The app the scenes show, on fixed figures instead of this machine's (an everyday laptop,
// sampled once: the next sample is an hour away), with its clocks at now() and spinners standing
// still. Needs the QApplication and a throw-away home.
std::unique_ptr<PendrelApp> makeApp();
// Every group of screens below, in order.
void renderAll(ShotContext& ctx);

} // namespace Shots

// One function per group of screens, each in its own file (Shots<Group>.cpp), called in this
// order by Shots::renderAll.
void renderShellShots(ShotContext& ctx);
void renderUiKitShots(ShotContext& ctx);
void renderVitalsShots(ShotContext& ctx);
void renderMenuBarShots(ShotContext& ctx);
void renderCompareShots(ShotContext& ctx);
void renderDeveloperShots(ShotContext& ctx);
void renderAppsShots(ShotContext& ctx);
void renderUninstallerShots(ShotContext& ctx);
void renderAssistantShots(ShotContext& ctx);
void renderCleaningShots(ShotContext& ctx);
void renderAutomationShots(ShotContext& ctx);
void renderDuplicatesShots(ShotContext& ctx);
void renderHomeShots(ShotContext& ctx);
void renderStorageShots(ShotContext& ctx);
void renderFoldersShots(ShotContext& ctx);
void renderVaultShots(ShotContext& ctx);
void renderOrganizerShots(ShotContext& ctx);
void renderChatShots(ShotContext& ctx);
