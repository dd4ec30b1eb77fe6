// ui_bench [--only JOB[,JOB…]] [--entry-chars N]: how long the user waits for the window to
// answer what real homes make heavy, in this process, offscreen. Each case drives a screen
// through its public API (or a key, as the user would) with its amount of data, generated in a
// sandbox folder (HOME and every XDG_* variable point there too, so the real home, Trash and
// settings are never touched):
//
//   settings      the Settings window opened and left open for 2 s
//   duplicates    the duplicate finder's scan of 7,000 pairs of identical files, until its groups
//                 are shown
//   cleanall      "Clean all" (keep one of each) over those 7,000 groups
//   timelineopen  the Timeline opened (its screen built and shown) with 400 entries
//   timeline      one keystroke in the timeline search with 400 entries
//   organizer     an organizer preview, apply and undo of 5,000 files of 100 bytes
//   diff          a 20,000-row line diff shown, then End pressed in it with a screen reader on:
//                 what the reader asks for the cell that took the focus
//   folder        the folder browser opening a folder of 50,000 files
//
// Every timeline entry is a question over an answer of its own, of --entry-chars characters
// (1,000 unless told).
//
// Each case is timed from the user's action to the end of the first frame that shows its result
// on the screen (FirstPaint): for work that runs on (a clean, a scan), the first frame that shows
// it under way. That is ours_ms of its RESULT line, against the 100 ms budget. A 5 ms timer on the
// main thread also measures the event loop's latency over the whole case, until its screen has
// settled (300 ms with no paint of the screen and no tick a frame late): the longest stall, the
// most any of its ticks came late, is stall_ms on the line, and the end of the last frame or stall
// before it settled is settled_ms. same= says whether the case ended as it should and settled; the
// organizer prints one more line of its apply and undo together against 10 s; its stalls and
// settled_ms run from the preview's click to the end of the undo, leaving out only the moments the
// bench lists the folder to check the moves. peak_mb is the
// process's peak resident memory during the case. Each RESULT line carries the load average: the
// figures depend on the machine's load.
#include "app/PendrelApp.h"
#include "app/SettingsWindow.h"
#include "assistant/TimelineListModel.h"
#include "assistant/views/PendrelTimelineView.h"
#include "developer/FileCompare.h"
#include "developer/FileCompareText.h"
#include "developer/views/FileCompareView.h"
#include "duplicates/DuplicateFinder.h"
#include "duplicates/SimilarPhotoFinder.h"
#include "duplicates/views/DuplicatesView.h"
#include "platform/CacheFolder.h"
#include "platform/Clock.h"
#include "platform/FreedesktopTrash.h"
#include "platform/HomeLayout.h"
#include "platform/LinuxDocumentText.h"
#include "platform/PendrelTimelineStore.h"
#include "platform/SandboxEnvironment.h"
#include "platform/StallLog.h"
#include "platform/ThreadUse.h"
#include "platform/TimelineEntry.h"
#include "platform/UnavailableLanguageModel.h"
#include "shell/ScreenState.h"
#include "storage/FolderOrganizer.h"
#include "storage/FolderTree.h"
#include "storage/views/FolderBrowserView.h"
#include "storage/views/OrganizerPane.h"
#include "ui-kit/DeleteCodeSheet.h"
#include "ui-kit/DeleteConfirmItem.h"
#include "ui-kit/QKProminentButton.h"
#include "ui-kit/QKRowList.h"
#include "ui-kit/Themed.h"

#include "support/BenchArgs.h"
#include "support/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr double kBudgetMs = 100;
constexpr double kOrganizerBudgetMs = 10'000;

// Turns the event loop until `done` holds; false after `ms` milliseconds. It sleeps between
// events (a 10 ms tick wakes it to check), so the main thread's CPU time stays the app's own.
bool spinUntil(const std::function<bool()>& done, int ms) {
    QTimer tick;
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void spinFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    spinUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

// The event loop's latency on the main thread, and when the screen settles after an action: a
// timer due every 5 ms notes the most any tick came late between start() and the end (the longest
// stall), and every paint of `target` (and of the widgets inside it) is noted too. The screen has
// settled once kQuietMs pass in which `target` painted nothing and no tick came a frame late;
// settled is the moment the last paint or late tick before that was seen, from start(). A stall
// shows once the loop turns again, so a case spins the loop after every step it takes.
class StallMeter : public QObject {
public:
    struct Figures {
        double stallMs = 0;
        std::optional<double> settledMs; // none: still busy when the wait ran out
    };

    StallMeter() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    ~StallMeter() override { qApp->removeEventFilter(this); }

    // Starts timing an action on `target` (null: only the stalls count towards settling).
    void start(QWidget* target = nullptr) {
        m_target = target;
        m_clock.start();
        m_lateness.restart(0);
        m_busy = 0;
        m_pausedMs = 0;
        m_timer.start();
        qApp->removeEventFilter(this);
        qApp->installEventFilter(this);
    }
    // Turns the loop once more so a stall that just ended is counted, then stops counting until
    // resume(): what the bench itself does in between is neither a stall nor time to settle.
    void pause() {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents); // the next tick at most
        tick();
        m_timer.stop();
        m_pausedAt = double(m_clock.nsecsElapsed()) / 1e6;
    }
    void resume() {
        m_pausedMs += double(m_clock.nsecsElapsed()) / 1e6 - m_pausedAt;
        m_lateness.resumeAt(now());
        m_timer.start();
    }
    // Turns the loop until the screen has settled (at most `ms` milliseconds), then stops.
    Figures stopWhenSettled(int ms = 60'000) {
        const bool settled = spinUntil([this] { return now() - m_busy >= kQuietMs; }, ms);
        Figures figures = end();
        if (!settled)
            figures.settledMs.reset();
        return figures;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_target && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == m_target || m_target->isAncestorOf(widget))
                m_busy = now();
        }
        return false;
    }

private:
    static constexpr int kTickMs = 5;
    static constexpr double kFrameMs = 16;
    static constexpr double kQuietMs = 300;

    // Milliseconds since start(), the paused ones left out.
    double now() const { return double(m_clock.nsecsElapsed()) / 1e6 - m_pausedMs; }
    void tick() {
        const double at = now();
        if (m_lateness.tick(at) > kFrameMs)
            m_busy = at;
    }
    Figures end() {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents); // the next tick at most
        tick();
        m_timer.stop();
        qApp->removeEventFilter(this);
        return {m_lateness.longest(), m_busy};
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    QPointer<QWidget> m_target;
    TickLateness m_lateness{kTickMs};
    double m_busy = 0;
    double m_pausedAt = 0;
    double m_pausedMs = 0;
};

// The end of the first frame that shows an action's result: started as the user acts, it
// watches the paints of `target` (and of the widgets inside it) and, at the first one made while
// `shown` holds, notes the time the frame it belongs to is done (the window paints every widget
// of a frame before the event loop turns again).
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* target, std::function<bool()> shown)
        : m_target(target), m_shown(std::move(shown)) {}
    ~FirstPaint() override { qApp->removeEventFilter(this); }

    void start() {
        m_ms.reset();
        m_seen = false;
        m_clock.start();
        qApp->installEventFilter(this);
    }
    // Milliseconds from start() to the end of that frame, once it has been painted.
    std::optional<double> ms() const { return m_ms; }
    // Turns the event loop until the frame has been painted; false after `ms` milliseconds.
    bool wait(int ms);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_seen || !watched->isWidgetType() || !m_target)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if ((widget != m_target && !m_target->isAncestorOf(widget)) || !m_shown())
            return false;
        m_seen = true;
        QTimer::singleShot(0, this, [this] {
            m_ms = double(m_clock.nsecsElapsed()) / 1e6;
            qApp->removeEventFilter(this);
        });
        return false;
    }

private:
    QPointer<QWidget> m_target;
    std::function<bool()> m_shown;
    QElapsedTimer m_clock;
    std::optional<double> m_ms;
    bool m_seen = false;
};

bool FirstPaint::wait(int ms) {
    return spinUntil([this] { return m_ms.has_value(); }, ms);
}

// Restarts the kernel's count of this process's peak resident memory at what is resident now,
// so each case reports its own peak (which still includes what earlier cases left resident).
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

long peakMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return (line.mid(6).trimmed().split(' ').first().toLong() + 1023) / 1024;
    return -1;
}

// CPU time the calling thread has used.
double threadCpuMs() {
    return double(ThreadUse::now().cpuNs) / 1e6;
}

// One case's RESULT line: the wait for the first frame that shows the result (none: the case
// never showed it, same=no), the longest stall over the whole case and when its screen settled
// (settled_ms=-1, same=no: it had not settled when the wait ran out).
void result(const char* job, std::optional<double> shownMs, const StallMeter::Figures& figures,
            bool same) {
    BenchProcess::printResult(
        {QString::fromLatin1(job),
         shownMs.value_or(0),
         QStringLiteral("budget"),
         kBudgetMs,
         same && shownMs.has_value() && figures.settledMs.has_value(),
         peakMb(),
         {{QStringLiteral("stall_ms"), QString::number(figures.stallMs, 'f', 0)},
          {QStringLiteral("settled_ms"),
           QString::number(figures.settledMs.value_or(-1), 'f', 0)}}});
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Sets a file's access and change times `days` days back.
void age(const QString& path, int days) {
    const timespec when{::time(nullptr) - days * 86'400L, 0};
    const timespec times[2] = {when, when};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

// Shows a screen themed, at the size the cases use, laid out and painted once.
void showThemed(QWidget& view) {
    Themed::apply(&view);
    view.resize(900, 640);
    view.show();
    QApplication::processEvents();
}

// ---- The cases

void settingsCase() {
    PendrelApp app(PendrelApp::Options{.useSystemTray = false});
    SettingsWindow* settings = app.settingsWindow();
    int fits = 0;
    QObject::connect(settings, &SettingsWindow::fitted, [&fits] { ++fits; });
    StallMeter meter;
    FirstPaint painted(settings, [settings] { return settings->isVisible(); });
    resetPeak();
    meter.start(settings);
    painted.start();
    app.openSettings();
    spinFor(500); // shown, and fitted to the frame the window manager reports
    // Left open, the window must fall quiet: no more fits, and the main thread nearly idle.
    const int fitsOpening = fits;
    const double cpuBefore = threadCpuMs();
    spinFor(1500);
    const double cpuOpen = threadCpuMs() - cpuBefore;
    const StallMeter::Figures figures = meter.stopWhenSettled();
    const bool same = settings->isVisible() && fits == fitsOpening && cpuOpen < 150;
    std::printf("settings: fitted %d times opening, %d more while open; main thread %.0f ms CPU "
                "in the last 1.5 s\n",
                fitsOpening, fits - fitsOpening, cpuOpen);
    settings->hide();
    result("ui_settings", painted.ms(), figures, same);
}

// The duplicate finder's scan (`duplicates`) and "Clean all" after it (`cleanAll`): the clean needs
// the scan's groups, so the scan runs for either.
void duplicatesCase(const QString& root, bool duplicates, bool cleanAll) {
    constexpr int kGroups = 7'000;
    const QString dir = root + QStringLiteral("/duplicates");
    QDir().mkpath(dir);
    const char* stems[] = {"IMG_", "scan ", "invoice-", "track ", "backup of report ", "clip"};
    const char* exts[] = {".jpg", ".pdf", ".docx", ".mp3", ".zip", ".mov"};
    for (int g = 0; g < kGroups; ++g) {
        // Past the finder's 1 KiB floor, of many sizes, and unlike every other group from its
        // first bytes on.
        QByteArray bytes(1'100 + (g * 7919) % 7'000, '\0');
        quint32 x = quint32(g) * 2654435761u + 1;
        for (char& c : bytes) {
            x = x * 1664525u + 1013904223u;
            c = char(x >> 24);
        }
        bytes.replace(0, 16, QByteArray::number(g).rightJustified(16, '0'));
        // A copy in a folder of its own and one beside the original, as downloads and imports
        // leave them.
        const QString name =
            QLatin1String(stems[g % 6]) + QString::number(g) + QLatin1String(exts[(g / 6) % 6]);
        const QString folder = dir + QStringLiteral("/%1/%2").arg(g % 40).arg(g % 7);
        const QString copies = dir + QStringLiteral("/copies %1").arg(g % 25);
        QDir().mkpath(folder);
        QDir().mkpath(copies);
        writeBytes(folder + QLatin1Char('/') + name, bytes);
        writeBytes(copies + QStringLiteral("/") + QStringLiteral("copy of ") + name, bytes);
    }
    const QString trashDir = root + QStringLiteral("/trash");
    auto trash = std::make_shared<FreedesktopTrash>(trashDir);
    ScreenState screen;
    DuplicateFinder finder(trash);
    SimilarPhotoFinder similar(trash);
    DuplicatesView view(screen, finder, similar);
    Themed::apply(&view);
    view.resize(900, 700);
    view.show();
    QApplication::processEvents();

    const auto scanned = [&] {
        return !finder.state().isRunning() && !similar.state().isRunning();
    };
    StallMeter meter;
    // The scan runs on: its result on the screen is the first frame that shows it under way.
    FirstPaint groupsShown(
        &view, [&] { return finder.state().isRunning() || !finder.groups().isEmpty(); });
    resetPeak();
    meter.start(&view);
    groupsShown.start();
    view.scanFolder(dir);
    const bool found = spinUntil(scanned, 120'000) && finder.groups().size() == kGroups;
    const StallMeter::Figures scan = meter.stopWhenSettled(); // the rows are shown
    std::printf("duplicates: scan of %d files, %lld groups\n", 2 * kGroups,
                qlonglong(finder.groups().size()));
    if (duplicates)
        result("ui_duplicates", groupsShown.ms(), scan, found);
    if (!cleanAll)
        return;

    meter.start(&view);
    view.requestCleanAll();
    DeleteCodeSheet* sheet = view.confirmation()->sheet();
    bool cleaned = false;
    // The clean runs on: its result on the screen is the first frame that shows it under way.
    FirstPaint painted(&view, [&] { return finder.cleaning() || finder.groups().isEmpty(); });
    if (found && sheet) {
        sheet->entryField()->setText(sheet->code());
        painted.start();
        sheet->confirmButton()->click();
        cleaned =
            spinUntil([&] { return !finder.cleaning() && finder.groups().isEmpty(); }, 600'000);
    }
    const StallMeter::Figures figures = meter.stopWhenSettled();
    const qsizetype trashed = QDir(trash->itemsFolder()).entryList(QDir::Files).size();
    std::printf("cleanall: %lld files in the Trash, %lld errors\n", qlonglong(trashed),
                qlonglong(view.errors().size()));
    result("ui_cleanall", painted.ms(), figures,
           found && cleaned && trashed == kGroups && view.errors().isEmpty());
}

// The app's own timeline, full: 400 entries, each a question over an answer of `chars`
// characters, newest first; false when the file could not be written. Every answer is its own, as
// the assistant's are: the same words in an order of its own, so no two rows measure alike.
bool writeTimeline(int chars) {
    const int count = PendrelTimelineStore::kCapacity;
    const QStringList words =
        QStringLiteral("your disk holds more than it seems because caches logs and old downloads "
                       "add up over months while the largest folders are rarely the ones you open "
                       "every day so a look at the caches the Trash and mail attachments often "
                       "frees several gigabytes without touching a single document")
            .split(QLatin1Char(' '));
    QJsonArray entries;
    for (int i = 0; i < count; ++i) {
        quint32 seed = 2'654'435'761u * quint32(i + 1);
        QString answer = QStringLiteral("Answer %1: ").arg(i);
        while (answer.size() < chars) {
            seed = seed * 1'664'525u + 1'013'904'223u;
            answer += words.at(int((seed >> 8) % quint32(words.size())));
            answer += (seed >> 4) % 11 == 0 ? QStringLiteral(". ") : QStringLiteral(" ");
        }
        answer.truncate(chars);
        TimelineEntry e;
        e.id = QUuid::createUuid();
        e.date = 700'000'000.0 - 60 * i;
        e.title = QStringLiteral("Question %1: why is my disk so full this week?").arg(i);
        e.detail = answer;
        entries.append(e.toJson());
    }
    return CacheFolder::standard().writeJSON(QJsonDocument(entries),
                                             PendrelTimelineStore::fileName());
}

// The timeline's list and its first row laid out, as the screen shows its entries.
bool timelineRowsShown(const PendrelTimelineView& view, int rows) {
    const auto* list = view.findChild<QListView*>(QStringLiteral("timelineRows"));
    return list && list->model() && list->model()->rowCount() == rows &&
           !list->visualRect(list->model()->index(0, 0)).isEmpty();
}

// Opening the Timeline: the section builds its screen anew on every visit and shows it.
void timelineOpenCase(int chars) {
    if (!writeTimeline(chars)) {
        std::printf("timelineopen: could not write the timeline file\n");
        result("ui_timeline_open", std::nullopt, {}, false);
        return;
    }
    PendrelTimelineStore store(CacheFolder::standard(), std::make_shared<SystemClock>());
    QWidget window;
    Themed::apply(&window);
    window.resize(700, 900);
    window.show();
    QApplication::processEvents();

    const int count = int(store.entries().size());
    StallMeter meter;
    std::unique_ptr<PendrelTimelineView> view;
    FirstPaint painted(&window, [&] { return view && timelineRowsShown(*view, count); });
    resetPeak();
    meter.start(&window);
    painted.start();
    view = std::make_unique<PendrelTimelineView>(store, &window);
    view->resize(window.size());
    view->show();
    const bool shown = painted.wait(10'000);
    // The rows out of sight are measured after the first frame, a slice at a time too short to
    // count as busy: the screen has settled only once every row has its own height.
    const auto* list = view->findChild<QKRowList*>(QStringLiteral("timelineRows"));
    const bool measured = list && spinUntil([&] { return list->allRowsMeasured(); }, 60'000);
    const StallMeter::Figures figures = meter.stopWhenSettled();
    std::printf("timelineopen: %d entries of %d characters, first rows shown in %.0f ms\n", count,
                chars, painted.ms().value_or(-1));
    result("ui_timeline_open", painted.ms(), figures,
           shown && measured && count == PendrelTimelineStore::kCapacity);
}

void timelineCase(int chars) {
    if (!writeTimeline(chars)) {
        std::printf("timeline: could not write the timeline file\n");
        result("ui_timeline", std::nullopt, {}, false);
        return;
    }
    PendrelTimelineStore store(CacheFolder::standard(), std::make_shared<SystemClock>());
    PendrelTimelineView view(store);
    Themed::apply(&view);
    view.resize(700, 900);
    view.show();
    StallMeter opening;
    opening.start(&view);
    opening.stopWhenSettled();
    const auto* list = view.findChild<QListView*>(QStringLiteral("timelineRows"));
    auto* field = view.findChild<QLineEdit*>(QStringLiteral("timelineSearch"));
    if (!list || !field) {
        std::printf("timeline: no list or search field\n");
        result("ui_timeline", std::nullopt, {}, false);
        return;
    }
    const int before = list->model()->rowCount();
    int matches = 0;
    for (const TimelineEntry& e : store.entries())
        matches += e.title.contains(QLatin1Char('7')) || e.detail.contains(QLatin1Char('7'));

    StallMeter meter;
    FirstPaint painted(&view, [&] { return timelineRowsShown(view, matches); });
    field->setFocus();
    QApplication::processEvents();
    resetPeak();
    meter.start(&view);
    painted.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
    const bool shown = painted.wait(10'000);
    const StallMeter::Figures figures = meter.stopWhenSettled();
    const int after = list->model()->rowCount();
    std::printf("timeline: %d entries of %d characters shown, %d after typing \"7\"\n", before,
                chars, after);
    result("ui_timeline", painted.ms(), figures,
           shown && before == PendrelTimelineStore::kCapacity &&
               store.searchText() == QStringLiteral("7") && after == matches && after > 0 &&
               after < before);
}

// Preview, apply and undo, each started from the pane's buttons. Kept apart from the rest: the
// organizer's run and its journal are the part most likely to change shape.
void organizerCase(const QString& root) {
    constexpr int kFiles = 5'000;
    const QString home = root + QStringLiteral("/organizer-home");
    const HomeLayout layout = HomeLayout::forHome(home);
    QDir().mkpath(layout.downloadsDir());
    const char* stems[] = {"Screenshot ", "invoice-", "IMG_", "notes ", "setup-v"};
    const char* exts[] = {".png", ".pdf", ".txt", ".zip", ".mp3"};
    for (int i = 0; i < kFiles; ++i) {
        const QString path = layout.downloadsDir() + QLatin1Char('/') +
                             QLatin1String(stems[(i / 5) % 5]) + QString::number(i) +
                             QLatin1String(exts[i % 5]);
        writeBytes(path, QByteArray(1 + (i * 7919) % 20'000, char('a' + i % 26)));
        age(path, 30); // older than the days the organizer leaves alone
    }
    const auto topFiles = [&] {
        return QDir(layout.downloadsDir()).entryList(QDir::Files | QDir::Hidden).size();
    };

    FolderOrganizer organizer(layout);
    OrganizerPane pane(organizer);
    Themed::apply(&pane);
    pane.resize(600, 700);
    pane.show();
    QApplication::processEvents();
    using Kind = FolderOrganizer::State::Kind;
    const auto settled = [&] {
        const Kind k = organizer.state().kind;
        return k != Kind::Running && k != Kind::Undoing && k != Kind::Planning;
    };
    constexpr int kWaitMs = 30 * 60 * 1000;

    StallMeter meter;
    // The preview runs on: its result on the screen is the first frame that shows it under way.
    FirstPaint painted(&pane, [&] { return organizer.state().kind != Kind::Idle; });
    resetPeak();
    meter.start(&pane);
    QElapsedTimer clock;
    clock.start();
    painted.start();
    pane.findChild<QPushButton*>(QStringLiteral("organizerPreview"))->click();
    const bool planned = spinUntil(settled, kWaitMs) && organizer.state().kind == Kind::Ready &&
                         organizer.plan() && organizer.plan()->moves.size() == kFiles;
    const double previewMs = double(clock.nsecsElapsed()) / 1e6;

    clock.restart();
    bool applied = false;
    // The bench's own listings of the folder are kept out of the stalls it measures.
    if (planned) {
        pane.findChild<QPushButton*>(QStringLiteral("organizerApply"))->click();
        applied = spinUntil(settled, kWaitMs) && organizer.state().kind == Kind::Finished &&
                  organizer.state().moved == kFiles;
        spinFor(100); // the history and its undo button are shown
        meter.pause();
        applied = applied && topFiles() == 0;
        meter.resume();
    }
    const double applyMs = double(clock.nsecsElapsed()) / 1e6;

    clock.restart();
    bool undone = false;
    auto* undo = pane.findChild<QPushButton*>(QStringLiteral("organizerUndoRun"));
    if (applied && undo) {
        undo->click();
        undone = spinUntil(settled, kWaitMs) && organizer.state().kind == Kind::Finished &&
                 organizer.state().undo && organizer.state().moved == kFiles;
    }
    const double undoMs = double(clock.nsecsElapsed()) / 1e6;
    const StallMeter::Figures figures = meter.stopWhenSettled();
    undone = undone && topFiles() == kFiles;
    std::printf("organizer: %d files, preview %.0f ms, apply %.0f ms, undo %.0f ms\n", kFiles,
                previewMs, applyMs, undoMs);
    const bool same = planned && applied && undone;
    result("ui_organizer", painted.ms(), figures, same);
    BenchProcess::printResult({QStringLiteral("ui_organizer_total"), applyMs + undoMs,
                               QStringLiteral("budget"), kOrganizerBudgetMs, same, peakMb()});
}

void diffCase(const QString& root) {
    constexpr int kLines = 19'000;
    constexpr int kRows = 20'000;
    // A first file of 19,000 lines, and a second with every 7th line edited, every 11th dropped
    // and a new one before every 13th: over 20,000 rows of every kind, each side within the
    // compare's 20,000-line limit.
    QByteArray left, right;
    for (int i = 0; i < kLines; ++i) {
        const QByteArray line = "    value_" + QByteArray::number(i) + " = compute(" +
                                QByteArray::number(i * 31 % 1000) + ");\n";
        left += line;
        if (i % 13 == 0)
            right += "    // inserted before " + QByteArray::number(i) + "\n";
        if (i % 11 == 0)
            continue;
        right += i % 7 == 0 ? "    value_" + QByteArray::number(i) + " = changed();\n" : line;
    }
    const QString leftPath = root + QStringLiteral("/left.txt");
    const QString rightPath = root + QStringLiteral("/right.txt");
    writeBytes(leftPath, left);
    writeBytes(rightPath, right);

    ScreenState screen;
    UnavailableLanguageModel model;
    FileCompare compare(screen, model, std::make_shared<LinuxDocumentText>());
    FileCompareView view(screen, compare);
    showThemed(view);

    StallMeter meter;
    // The compare shows its first rows while the rest of the diff is still worked out: the first
    // frame with rows in the list is the first that shows the result; the whole diff shown is
    // when the screen settles.
    FirstPaint painted(&view, [&] {
        return view.diffList()->model() && view.diffList()->model()->rowCount() > 0;
    });
    resetPeak();
    meter.start(&view);
    painted.start();
    compare.setSide(QUrl::fromLocalFile(leftPath), FileCompare::Side::Left);
    compare.setSide(QUrl::fromLocalFile(rightPath), FileCompare::Side::Right);
    // The compare starts from the event loop once both sides are set.
    const bool shown =
        spinUntil(
            [&] { return !screen.compareBusy() && screen.compareMode() != CompareMode::None; },
            120'000) &&
        screen.compareRows().size() >= kRows && painted.wait(10'000);
    if (!shown)
        std::printf("diff: not shown: mode %d, %lld rows, %s\n", int(screen.compareMode()),
                    qlonglong(screen.compareRows().size()),
                    qPrintable(screen.compareError().value_or(QStringLiteral("no error"))));
    const StallMeter::Figures shownFigures = meter.stopWhenSettled();
    result("ui_diff", painted.ms(), shownFigures, shown);

    // A screen reader on: End in the list moves the focus to the last row, and the reader asks
    // what a reader asks of the cell that took it, in the turn of the event loop after the key
    // (as a bridge answers the reader): the cell, its text, role and state, where it lies in the
    // table, the table's size and the column's title. Timed from the key to the later of the end
    // of those answers and the end of the first frame that shows the last row current.
    QListView* list = view.diffList();
    view.activateWindow();
    QApplication::setActiveWindow(&view);
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    spinFor(100);
    const int last = list->model()->rowCount() - 1;
    QString spoken;
    int askedRow = -1;
    std::optional<double> readMs;
    QElapsedTimer keyClock;
    const auto reader = [&] {
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
        QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
        QAccessibleInterface* cell = table ? table->focusChild() : nullptr;
        // Without a focused cell, the cell the table calls focused: the current row's change.
        if ((!cell || !cell->tableCellInterface()) && cells)
            cell = cells->cellAt(list->currentIndex().row(), 1);
        if (!cell)
            return;
        spoken = cell->text(QAccessible::Name);
        (void)cell->role();
        (void)cell->state();
        if (QAccessibleTableCellInterface* at = cell->tableCellInterface()) {
            askedRow = at->rowIndex();
            (void)cells->rowCount();
            (void)cells->columnCount();
            (void)cells->columnDescription(at->columnIndex());
        }
        readMs = double(keyClock.nsecsElapsed()) / 1e6;
    };
    FirstPaint readerPainted(list, [&] { return list->currentIndex().row() == last; });
    meter.start(&view);
    keyClock.start();
    readerPainted.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(list, &press);
    QApplication::sendEvent(list, &release);
    QTimer::singleShot(0, list, reader);
    const bool read = readerPainted.wait(10'000) &&
                      spinUntil([&] { return readMs.has_value(); }, 10'000) && askedRow == last &&
                      spoken == FileCompareText::diffCellText(screen.compareRows().at(last), 1);
    const StallMeter::Figures readFigures = meter.stopWhenSettled();
    std::optional<double> answeredMs;
    if (readerPainted.ms() && readMs)
        answeredMs = std::max(*readerPainted.ms(), *readMs);
    std::printf("diff: %lld rows shown; End read as \"%s\"\n",
                qlonglong(screen.compareRows().size()), qPrintable(spoken.left(60)));
    result("ui_diff_reader", answeredMs, readFigures, shown && read);
}

void folderCase(const QString& root) {
    constexpr int kFiles = 50'000;
    const QString dir = root + QStringLiteral("/big-folder");
    QDir().mkpath(dir);
    const char* stems[] = {"IMG_", "invoice ", "report-v", "track ", "notes", "Screenshot "};
    const char* exts[] = {".jpg", ".pdf", ".docx", ".flac", ".txt", ".png"};
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < kFiles; ++i) {
        const QByteArray path =
            QFile::encodeName(dir) + '/' + stems[i % 6] + QByteArray::number(i) + exts[(i / 6) % 6];
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            continue;
        if (::write(fd, chunk.constData(), size_t(i * 7919 % 4096)) < 0) {
            // an empty file lists as well as any
        }
        ::close(fd);
    }
    // And folders among them, as a downloads folder has, each measured after the listing.
    constexpr int kFolders = 120;
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = dir + QStringLiteral("/album %1").arg(f);
        QDir().mkpath(folder);
        for (int i = 0; i < 1 + f % 9; ++i)
            writeBytes(folder + QStringLiteral("/part %1.bin").arg(i), QByteArray(512 * f, 'y'));
    }

    FolderTree tree(root);
    ScreenState screen;
    FolderBrowserView view(tree, screen, nullptr);
    showThemed(view);

    StallMeter meter;
    // The listing runs on in batches: its result is the first frame that shows the folder's
    // entries.
    FirstPaint painted(&view, [&] { return view.list()->model()->rowCount() > 0; });
    resetPeak();
    meter.start(&view);
    painted.start();
    tree.open(dir);
    const bool listed = spinUntil([&] { return !tree.isListing(); }, 120'000);
    spinUntil([&] { return tree.measuringCount() == 0; }, 120'000);
    const StallMeter::Figures figures = meter.stopWhenSettled();
    const int rows = view.list()->model()->rowCount();
    std::printf("folder: %d entries listed\n", rows);
    result("ui_folder", painted.ms(), figures, listed && rows == kFiles + kFolders);
}

} // namespace

int main(int argc, char** argv) {
    const QStringList jobs = {"settings", "duplicates", "cleanall", "timelineopen",
                              "timeline", "organizer",  "diff",     "folder"};
    const BenchArgs::Parsed parsed = BenchArgs::parse(
        argc, argv,
        {QStringLiteral("ui_bench"),
         {},
         0,
         0,
         {BenchArgs::text(QStringLiteral("--only"), QStringLiteral("JOB[,JOB…]"),
                          QStringLiteral("only these of: ") + jobs.join(QLatin1Char(' '))),
          BenchArgs::number(QStringLiteral("--entry-chars"),
                            QStringLiteral("the length of each timeline answer (1000)"))},
         QStringLiteral("How long the window takes to show the result of each heavy action.")});
    if (parsed.exitNow)
        return *parsed.exitNow;
    const QStringList only =
        parsed.text(QStringLiteral("--only")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& job : only)
        if (!jobs.contains(job))
            return parsed.usageError(QStringLiteral("no job ") + job);
    SandboxEnvironment sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "ui_bench: could not create a sandbox folder\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
    QApplication app(argc, argv);
    const QString root = sandbox.root() + QStringLiteral("/bench");
    QDir().mkpath(root);
    const auto wanted = [&](const char* job) {
        return only.isEmpty() || only.contains(QLatin1String(job));
    };
    if (wanted("settings"))
        settingsCase();
    if (wanted("duplicates") || wanted("cleanall"))
        duplicatesCase(root, wanted("duplicates"), wanted("cleanall"));
    const int chars = parsed.number(QStringLiteral("--entry-chars"), 1000);
    if (wanted("timelineopen"))
        timelineOpenCase(chars);
    if (wanted("timeline"))
        timelineCase(chars);
    if (wanted("organizer"))
        organizerCase(root);
    if (wanted("diff"))
        diffCase(root);
    if (wanted("folder"))
        folderCase(root);
    return 0;
}
