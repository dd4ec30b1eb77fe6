#include "platform/X11RunningApplications.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <cstdlib>
#include <xcb/res.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

std::shared_ptr<RunningApplications> RunningApplications::system() {
    return std::make_shared<X11RunningApplications>();
}

// One open display with its EWMH atoms. Requests made through it pass nullptr for the error
// out-parameter, so errors (a window that vanished between two reads, for instance) land in the
// event queue; drain() throws them away after each exchange. No events are selected on this
// connection, so the queue never holds anything else.
struct X11RunningApplications::Connection {
    xcb_connection_t* c = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    int screen = 0;
    // The server answers XResQueryClientIds with pids that mean the same processes here.
    bool clientPidsUsable = false;

    ~Connection() {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        if (c)
            xcb_disconnect(c);
    }

    bool broken() const { return xcb_connection_has_error(c) != 0; }

    void drain() const {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c))
            std::free(event);
    }

    // Asks for the pid of the client that created `resource`; clientPid() reads the answer,
    // 0 when the server cannot tell (a client that came over the network, for instance).
    static xcb_res_query_client_ids_cookie_t askClientPid(xcb_connection_t* c, uint32_t resource) {
        const xcb_res_client_id_spec_t query{resource, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        return xcb_res_query_client_ids(c, 1, &query);
    }
    static qint64 clientPid(xcb_connection_t* c, xcb_res_query_client_ids_cookie_t cookie) {
        xcb_res_query_client_ids_reply_t* reply =
            xcb_res_query_client_ids_reply(c, cookie, nullptr);
        if (!reply)
            return 0;
        qint64 pid = 0;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem;
             xcb_res_client_id_value_next(&it)) {
            if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
                xcb_res_client_id_value_value_length(it.data) >= 1) {
                pid = *xcb_res_client_id_value_value(it.data);
                break;
            }
        }
        std::free(reply);
        return pid;
    }

    // Whether the server has the X Resource extension's client ids, and names this very process
    // for this connection (its resources are those of our resource id base).
    bool checkClientPids() const {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
        if (!extension || !extension->present)
            return false;
        xcb_res_query_version_reply_t* version =
            xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr);
        const bool hasClientIds =
            version && (version->server_major > 1 ||
                        (version->server_major == 1 && version->server_minor >= 2));
        std::free(version);
        if (!hasClientIds)
            return false;
        const uint32_t ownResource = xcb_get_setup(c)->resource_id_base;
        return clientPid(c, askClientPid(c, ownResource)) == QCoreApplication::applicationPid();
    }

    static std::unique_ptr<Connection> open(const QByteArray& display) {
        if (display.isEmpty() && qEnvironmentVariableIsEmpty("DISPLAY"))
            return nullptr;
        auto connection = std::make_unique<Connection>();
        connection->c =
            xcb_connect(display.isEmpty() ? nullptr : display.constData(), &connection->screen);
        if (connection->broken())
            return nullptr;
        xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection->c, &connection->ewmh);
        // The replies call frees the cookies, and on failure wipes the EWMH state itself.
        if (!cookies || !xcb_ewmh_init_atoms_replies(&connection->ewmh, cookies, nullptr))
            return nullptr;
        connection->ewmhReady = true;
        connection->clientPidsUsable = connection->checkClientPids();
        connection->drain();
        if (connection->screen < 0 || connection->screen >= connection->ewmh.nb_screens)
            return nullptr;
        return connection;
    }
};

X11RunningApplications::X11RunningApplications() : X11RunningApplications(Deps{}) {}

X11RunningApplications::X11RunningApplications(Deps deps) : m_deps(std::move(deps)) {
    if (m_deps.ownPid == 0)
        m_deps.ownPid = QCoreApplication::applicationPid();
    if (m_deps.hostName.isEmpty())
        m_deps.hostName = QSysInfo::machineHostName();
}

X11RunningApplications::~X11RunningApplications() = default;

X11RunningApplications::Connection* X11RunningApplications::connection() {
    if (m_connection && m_connection->broken())
        m_connection.reset();
    if (!m_connection)
        m_connection = Connection::open(m_deps.display);
    return m_connection.get();
}

namespace {

QString decodeText(const xcb_get_property_reply_t* reply, xcb_atom_t utf8Type, const char* data,
                   int length) {
    // ICCCM's STRING type is Latin-1; toolkits that know better write UTF8_STRING.
    if (reply->type == utf8Type)
        return QString::fromUtf8(data, length);
    return QString::fromLatin1(data, length);
}

// The class part of WM_CLASS ("instance\0Class\0").
QString classOf(const xcb_get_property_reply_t* reply, xcb_atom_t utf8Type) {
    if (!reply || reply->format != 8)
        return {};
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    const QByteArrayView bytes(data, length);
    const qsizetype instanceEnd = bytes.indexOf('\0');
    if (instanceEnd < 0)
        return {};
    QByteArrayView rest = bytes.sliced(instanceEnd + 1);
    const qsizetype classEnd = rest.indexOf('\0');
    if (classEnd >= 0)
        rest = rest.first(classEnd);
    return decodeText(reply, utf8Type, rest.data(), int(rest.size()));
}

QString textOf(const xcb_get_property_reply_t* reply, xcb_atom_t utf8Type) {
    if (!reply || reply->format != 8)
        return {};
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    QByteArrayView bytes(data, xcb_get_property_value_length(reply));
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes = bytes.first(end);
    return decodeText(reply, utf8Type, bytes.data(), int(bytes.size()));
}

// A window's type is the first type in its list that the EWMH defines; vendor types listed
// ahead of it are skipped. A window without a standard type counts as normal.
bool isNormalType(const xcb_ewmh_connection_t& ewmh, const xcb_ewmh_get_atoms_reply_t& types) {
    const xcb_atom_t standard[] = {
        ewmh._NET_WM_WINDOW_TYPE_NORMAL,        ewmh._NET_WM_WINDOW_TYPE_DESKTOP,
        ewmh._NET_WM_WINDOW_TYPE_DOCK,          ewmh._NET_WM_WINDOW_TYPE_TOOLBAR,
        ewmh._NET_WM_WINDOW_TYPE_MENU,          ewmh._NET_WM_WINDOW_TYPE_UTILITY,
        ewmh._NET_WM_WINDOW_TYPE_SPLASH,        ewmh._NET_WM_WINDOW_TYPE_DIALOG,
        ewmh._NET_WM_WINDOW_TYPE_DROPDOWN_MENU, ewmh._NET_WM_WINDOW_TYPE_POPUP_MENU,
        ewmh._NET_WM_WINDOW_TYPE_TOOLTIP,       ewmh._NET_WM_WINDOW_TYPE_NOTIFICATION,
        ewmh._NET_WM_WINDOW_TYPE_COMBO,         ewmh._NET_WM_WINDOW_TYPE_DND,
    };
    for (uint32_t i = 0; i < types.atoms_len; ++i) {
        for (xcb_atom_t known : standard) {
            if (types.atoms[i] == known)
                return known == ewmh._NET_WM_WINDOW_TYPE_NORMAL;
        }
    }
    return true;
}

} // namespace

std::optional<X11RunningApplications::ClientList> X11RunningApplications::readClientList() {
    Connection* conn = connection();
    if (!conn)
        return std::nullopt;
    xcb_ewmh_connection_t& ewmh = conn->ewmh;

    const auto listCookie = xcb_ewmh_get_client_list(&ewmh, conn->screen);
    const auto activeCookie = xcb_ewmh_get_active_window(&ewmh, conn->screen);
    ClientList result;
    xcb_window_t active = XCB_NONE;
    if (xcb_ewmh_get_active_window_reply(&ewmh, activeCookie, &active, nullptr))
        result.activeWindow = active;
    xcb_ewmh_get_windows_reply_t list{};
    if (!xcb_ewmh_get_client_list_reply(&ewmh, listCookie, &list, nullptr)) {
        // No window manager keeps a list: there is nothing to show.
        conn->drain();
        return conn->broken() ? std::nullopt : std::optional<ClientList>(result);
    }
    const QList<xcb_window_t> ids(list.windows, list.windows + list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);

    // Every request first, then every reply: one round trip for the whole list.
    struct Cookies {
        xcb_get_property_cookie_t pid, name, type, state, wmClass, machine;
    };
    QList<Cookies> cookies;
    cookies.reserve(ids.size());
    for (xcb_window_t id : ids) {
        cookies.append(
            {xcb_ewmh_get_wm_pid(&ewmh, id), xcb_ewmh_get_wm_name(&ewmh, id),
             xcb_ewmh_get_wm_window_type(&ewmh, id), xcb_ewmh_get_wm_state(&ewmh, id),
             xcb_get_property(conn->c, 0, id, XCB_ATOM_WM_CLASS, XCB_GET_PROPERTY_TYPE_ANY, 0, 128),
             xcb_get_property(conn->c, 0, id, XCB_ATOM_WM_CLIENT_MACHINE, XCB_GET_PROPERTY_TYPE_ANY,
                              0, 64)});
    }

    for (qsizetype i = 0; i < ids.size(); ++i) {
        const Cookies& k = cookies[i];
        X11ClientWindow window;
        window.id = ids[i];

        uint32_t pid = 0;
        if (xcb_ewmh_get_wm_pid_reply(&ewmh, k.pid, &pid, nullptr))
            window.pid = pid;

        xcb_ewmh_get_utf8_strings_reply_t name{};
        if (xcb_ewmh_get_wm_name_reply(&ewmh, k.name, &name, nullptr)) {
            QByteArrayView bytes(name.strings, name.strings_len);
            const qsizetype end = bytes.indexOf('\0');
            window.title = QString::fromUtf8(end >= 0 ? bytes.first(end) : bytes);
            xcb_ewmh_get_utf8_strings_reply_wipe(&name);
        }

        xcb_ewmh_get_atoms_reply_t types{};
        if (xcb_ewmh_get_wm_window_type_reply(&ewmh, k.type, &types, nullptr)) {
            window.normal = isNormalType(ewmh, types);
            xcb_ewmh_get_atoms_reply_wipe(&types);
        }

        xcb_ewmh_get_atoms_reply_t states{};
        if (xcb_ewmh_get_wm_state_reply(&ewmh, k.state, &states, nullptr)) {
            for (uint32_t s = 0; s < states.atoms_len; ++s) {
                if (states.atoms[s] == ewmh._NET_WM_STATE_SKIP_TASKBAR)
                    window.skipTaskbar = true;
            }
            xcb_ewmh_get_atoms_reply_wipe(&states);
        }

        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(conn->c, k.wmClass, nullptr)) {
            window.className = classOf(reply, ewmh.UTF8_STRING);
            std::free(reply);
        }

        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(conn->c, k.machine, nullptr)) {
            const QString machine = textOf(reply, ewmh.UTF8_STRING);
            window.local =
                machine.isEmpty() || x11clients::isLocalMachine(machine, m_deps.hostName);
            std::free(reply);
        }

        result.windows.append(window);
    }
    attributeByClient(*conn, result.windows);
    conn->drain();
    if (conn->broken())
        return std::nullopt;
    return result;
}

void X11RunningApplications::attributeByClient(Connection& conn,
                                               QList<X11ClientWindow>& windows) const {
    if (!conn.clientPidsUsable)
        return;
    // Every request first, then every reply: one round trip for all of them.
    QList<std::pair<qsizetype, xcb_res_query_client_ids_cookie_t>> asked;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i].pid == 0 && windows[i].local)
            asked.append({i, Connection::askClientPid(conn.c, windows[i].id)});
    }
    for (const auto& [index, cookie] : asked)
        windows[index].pid = Connection::clientPid(conn.c, cookie);
}

QList<RunningApplication> X11RunningApplications::applications() {
    const std::optional<ClientList> clients = readClientList();
    if (!clients)
        return {};
    return x11clients::group(clients->windows, clients->activeWindow, m_deps.ownPid);
}

QString X11RunningApplications::frontmostApplicationName() {
    const std::optional<ClientList> clients = readClientList();
    if (!clients)
        return {};
    return x11clients::frontmostName(clients->windows, clients->activeWindow);
}

bool X11RunningApplications::requestQuit(const RunningApplication& application) {
    if (application.pid <= 0 || application.pid == m_deps.ownPid)
        return false;
    // Read afresh: the caller's list may be seconds old, and only windows that still belong to
    // that process may be closed.
    const std::optional<ClientList> clients = readClientList();
    if (!clients)
        return false;
    const QList<quint32> targets = x11clients::windowsToClose(clients->windows, application.pid);
    if (targets.isEmpty())
        return false;
    Connection* conn = m_connection.get();
    for (quint32 window : targets) {
        xcb_ewmh_request_close_window(&conn->ewmh, conn->screen, window, XCB_CURRENT_TIME,
                                      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    }
    return xcb_flush(conn->c) > 0 && !conn->broken();
}
