#include "support/PrivateXServer.h"
#include "support/TestSupport.h"

#include "platform/X11ClientWindows.h"
#include "platform/X11RunningApplications.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

namespace {

X11ClientWindow window(quint32 id, qint64 pid, const QString& className, bool normal = true) {
    X11ClientWindow w;
    w.id = id;
    w.pid = pid;
    w.className = className;
    w.normal = normal;
    return w;
}

TEST(X11ClientWindows, GroupsByPidAndKeepsOnlyWhatCanBeAttributed) {
    X11ClientWindow firefoxDownloads = window(2, 100, "Firefox");
    firefoxDownloads.skipTaskbar = true;
    X11ClientWindow untitledDialog = window(3, 200, QString(), false);
    untitledDialog.title = QStringLiteral("Untitled");
    X11ClientWindow remote = window(5, 300, "Remote");
    remote.local = false;
    X11ClientWindow gimpPopup = window(7, 400, "Gimp");
    gimpPopup.skipTaskbar = true;
    const QList<X11ClientWindow> windows = {
        window(1, 100, "Firefox"), firefoxDownloads, untitledDialog, window(4, 0, "Old"), remote,
        window(6, 999, "Pendrel"), gimpPopup};

    const QList<RunningApplication> apps = x11clients::group(windows, 2, 999);
    ASSERT_EQ(apps.size(), 3);
    EXPECT_EQ(apps[0].pid, 100);
    EXPECT_EQ(apps[0].localizedName, QStringLiteral("Firefox"));
    EXPECT_TRUE(apps[0].regular);
    EXPECT_TRUE(apps[0].active);
    EXPECT_EQ(apps[1].localizedName, QStringLiteral("Untitled")); // the title as a fallback
    EXPECT_FALSE(apps[1].regular);                                // only a dialog
    EXPECT_FALSE(apps[1].active);
    EXPECT_EQ(apps[2].localizedName, QStringLiteral("Gimp"));
    EXPECT_FALSE(apps[2].regular); // its only normal window is kept off the task bar

    EXPECT_EQ(x11clients::frontmostName(windows, 2), QStringLiteral("Firefox"));
    EXPECT_EQ(x11clients::frontmostName(windows, 4), QStringLiteral("Old"));
    EXPECT_EQ(x11clients::frontmostName(windows, 6), QStringLiteral("Pendrel"));
    EXPECT_EQ(x11clients::frontmostName(windows, 42), QString());
    EXPECT_EQ(x11clients::frontmostName(windows, 0), QString());

    EXPECT_EQ(x11clients::windowsToClose(windows, 100), QList<quint32>{1});
    EXPECT_TRUE(x11clients::windowsToClose(windows, 200).isEmpty());
    EXPECT_TRUE(x11clients::windowsToClose(windows, 0).isEmpty());

    EXPECT_TRUE(x11clients::isLocalMachine("Box.example.org", "box"));
    EXPECT_FALSE(x11clients::isLocalMachine("other", "box"));
}

TEST(X11RunningApplications, WithoutADisplayListsNothingAndAsksNothing) {
    const QByteArray saved = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    X11RunningApplications apps;
    RunningApplication someone;
    someone.pid = 4000001;
    someone.localizedName = QStringLiteral("Someone");
    someone.regular = true;
    EXPECT_TRUE(apps.applications().isEmpty());
    EXPECT_TRUE(apps.frontmostApplicationName().isEmpty());
    EXPECT_FALSE(apps.requestQuit(someone));
    if (!saved.isEmpty())
        qputenv("DISPLAY", saved);
}

// A private Xvfb server on a display it picks itself, stopped with the test. The test plays the
// window manager on it: it publishes the client list and receives the close requests.
class XvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.start("320x240x24"))
            GTEST_SKIP() << "Xvfb is not installed or did not start";
        display = server.display();
        int screenNumber = 0;
        c = xcb_connect(display.constData(), &screenNumber);
        ASSERT_FALSE(xcb_connection_has_error(c));
        ASSERT_TRUE(xcb_ewmh_init_atoms_replies(&ewmh, xcb_ewmh_init_atoms(c, &ewmh), nullptr));
        ewmhReady = true;
        screen = ewmh.screens[screenNumber];
        const uint32_t mask =
            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    }

    void TearDown() override {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        if (c)
            xcb_disconnect(c);
        stopServer();
    }

    void stopServer() { server.stop(); }

    struct WindowProps {
        qint64 pid = 0;
        QByteArray className; // empty: no WM_CLASS
        QByteArray title;
        xcb_atom_t type = XCB_NONE;
        bool skipTaskbar = false;
        QByteArray machine;
    };

    xcb_window_t create(qint64 pid, const QByteArray& className, const QByteArray& title,
                        xcb_atom_t type = XCB_NONE, bool skipTaskbar = false,
                        const QByteArray& machine = {}) {
        return create(WindowProps{pid, className, title, type, skipTaskbar, machine});
    }

    xcb_window_t create(const WindowProps& props) {
        const xcb_window_t id = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id, screen->root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        if (props.pid)
            xcb_ewmh_set_wm_pid(&ewmh, id, uint32_t(props.pid));
        if (!props.className.isEmpty()) {
            const QByteArray value = "instance" + QByteArray(1, '\0') + props.className + '\0';
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                value.size(), value.constData());
        }
        if (!props.title.isEmpty())
            xcb_ewmh_set_wm_name(&ewmh, id, props.title.size(), props.title.constData());
        if (props.type != XCB_NONE) {
            xcb_atom_t type = props.type;
            xcb_ewmh_set_wm_window_type(&ewmh, id, 1, &type);
        }
        if (props.skipTaskbar) {
            xcb_atom_t state = ewmh._NET_WM_STATE_SKIP_TASKBAR;
            xcb_ewmh_set_wm_state(&ewmh, id, 1, &state);
        }
        if (!props.machine.isEmpty())
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLIENT_MACHINE,
                                XCB_ATOM_STRING, 8, props.machine.size(),
                                props.machine.constData());
        return id;
    }

    void publish(QList<xcb_window_t> clients, xcb_window_t active) {
        xcb_ewmh_set_client_list(&ewmh, 0, clients.size(), clients.data());
        xcb_ewmh_set_active_window(&ewmh, 0, active);
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // a round trip
    }

    // The windows named in _NET_CLOSE_WINDOW requests that reached the window manager.
    QList<xcb_window_t> closeRequests() {
        QList<xcb_window_t> windows;
        testsupport::waitFor([] { return false; }, 300);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == ewmh._NET_CLOSE_WINDOW)
                    windows.append(message->window);
            }
            free(event);
        }
        return windows;
    }

    X11RunningApplications::Deps options() const {
        X11RunningApplications::Deps o;
        o.display = display;
        o.ownPid = 4000009;
        o.hostName = QStringLiteral("testhost");
        return o;
    }

    testsupport::PrivateXServer server;
    QByteArray display;
    xcb_connection_t* c = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_screen_t* screen = nullptr;
};

TEST_F(XvfbTest, ReadsTheClientListAndClosesOnlyTheAppsNormalWindows) {
    const xcb_window_t page = create(4000001, "Firefox-esr", "Page — Mozilla Firefox",
                                     ewmh._NET_WM_WINDOW_TYPE_NORMAL, false, "TestHost.local");
    const xcb_window_t dialog =
        create(4000001, "Firefox-esr", "Library", ewmh._NET_WM_WINDOW_TYPE_DIALOG);
    const xcb_window_t notes = create(4000002, "", "Notes");
    const xcb_window_t panel = create(4000003, "Xfce4-panel", "", ewmh._NET_WM_WINDOW_TYPE_DOCK);
    const xcb_window_t popup = create(4000004, "Popup", "", XCB_NONE, true);
    const xcb_window_t own = create(4000009, "Pendrel", "Pendrel");
    const xcb_window_t remote = create(4000005, "Remote", "", XCB_NONE, false, "elsewhere");
    const xcb_window_t nopid = create(0, "Old", "Old");
    publish({page, dialog, notes, panel, popup, own, remote, nopid}, notes);

    X11RunningApplications backend(options());
    const QList<RunningApplication> apps = backend.applications();
    ASSERT_EQ(apps.size(), 5);
    EXPECT_EQ(apps[0].pid, 4000001);
    EXPECT_EQ(apps[0].localizedName, QStringLiteral("Firefox-esr"));
    EXPECT_TRUE(apps[0].regular);
    EXPECT_FALSE(apps[0].active);
    EXPECT_EQ(apps[1].localizedName, QStringLiteral("Notes"));
    EXPECT_TRUE(apps[1].regular);
    EXPECT_TRUE(apps[1].active);
    EXPECT_EQ(apps[2].localizedName, QStringLiteral("Xfce4-panel"));
    EXPECT_FALSE(apps[2].regular);
    EXPECT_FALSE(apps[3].regular);
    // The window without _NET_WM_PID belongs to the connection that made it: this test's.
    EXPECT_EQ(apps[4].localizedName, QStringLiteral("Old"));
    EXPECT_EQ(apps[4].pid, QCoreApplication::applicationPid());
    for (const RunningApplication& app : apps)
        EXPECT_FALSE(app.terminated);
    EXPECT_EQ(backend.frontmostApplicationName(), QStringLiteral("Notes"));

    EXPECT_TRUE(backend.requestQuit(apps[0]));
    EXPECT_EQ(closeRequests(), QList<xcb_window_t>{page});
    EXPECT_FALSE(backend.requestQuit(apps[2])); // nothing on the task bar to close
    RunningApplication self = apps[0];
    self.pid = 4000009;
    EXPECT_FALSE(backend.requestQuit(self));
    EXPECT_TRUE(closeRequests().isEmpty());

    publish({page, dialog, notes, own}, own);
    EXPECT_EQ(backend.frontmostApplicationName(), QStringLiteral("Pendrel"));

    stopServer(); // the display goes away under a live connection
    EXPECT_TRUE(backend.applications().isEmpty());
    EXPECT_FALSE(backend.requestQuit(apps[0]));
}

// The child process that makes a window for the next test, ended however the test ends.
struct WindowMaker {
    pid_t pid = -1;
    int release = -1;
    ~WindowMaker() {
        if (release >= 0)
            ::close(release);
        if (pid > 0)
            ::waitpid(pid, nullptr, 0);
    }
};

TEST_F(XvfbTest, AWindowWithoutItsPidBelongsToTheProcessThatMadeIt) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    WindowMaker maker;
    maker.pid = ::fork();
    ASSERT_GE(maker.pid, 0);
    if (maker.pid == 0) {
        // A copy of a threaded process: only xcb and plain system calls from here on. An older
        // toolkit's window: a class, no _NET_WM_PID.
        ::close(ready[0]);
        ::close(release[1]);
        int n = 0;
        xcb_connection_t* own = xcb_connect(display.constData(), &n);
        uint32_t id = 0;
        if (!xcb_connection_has_error(own)) {
            xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(own)).data;
            id = xcb_generate_id(own);
            xcb_create_window(own, XCB_COPY_FROM_PARENT, id, root->root, 0, 0, 10, 10, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, root->root_visual, 0, nullptr);
            const char wmClass[] = "legacy\0Legacy"; // with its final NUL
            xcb_change_property(own, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                                8, sizeof wmClass, wmClass);
            std::free(xcb_get_input_focus_reply(own, xcb_get_input_focus(own), nullptr));
        }
        [[maybe_unused]] const auto sent = ::write(ready[1], &id, sizeof id);
        char done;
        [[maybe_unused]] const auto got = ::read(release[0], &done, 1); // until the test ends
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    maker.release = release[1];
    uint32_t window = 0;
    ASSERT_EQ(::read(ready[0], &window, sizeof window), ssize_t(sizeof window));
    ::close(ready[0]);
    ASSERT_NE(window, 0u);

    const xcb_window_t mine = create(0, "Mine", "Mine");
    publish({window, mine}, window);
    X11RunningApplications backend(options());
    const QList<RunningApplication> apps = backend.applications();
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(apps[0].localizedName, QStringLiteral("Legacy"));
    EXPECT_EQ(apps[0].pid, maker.pid);
    EXPECT_TRUE(apps[0].active);
    EXPECT_EQ(apps[1].pid, QCoreApplication::applicationPid());
    EXPECT_EQ(backend.frontmostApplicationName(), QStringLiteral("Legacy"));

    // Seen as its own process, it can be asked to quit like any other.
    EXPECT_TRUE(backend.requestQuit(apps[0]));
    EXPECT_EQ(closeRequests(), QList<xcb_window_t>{window});
}

} // namespace
