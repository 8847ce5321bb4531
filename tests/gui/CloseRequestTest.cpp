// Close requests as a window manager sends them (WM_DELETE_WINDOW), to real studios on the X
// display the tests run under, some after a File-menu dialog: every one ends its process.
#include "TestClips.h"

#include <QDir>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kStarts = 20;
constexpr int kEveryDialog = 2; // each second start opens and closes a dialog first
constexpr int kWaitMs = 30000;
constexpr int kRetryMs = 2000; // a key pressed before the window takes keys is pressed again
constexpr xcb_keysym_t kKeyO = 0x6f;
// Where the File menu and its first item are in the main window.
constexpr QPoint kFileMenu(20, 18);
constexpr QPoint kOpenVideoItem(60, 60);
constexpr int kMenuOpenMs = 400;
constexpr xcb_keysym_t kKeyEscape = 0xff1b;

class Display {
public:
    Display() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_) == 0)
            root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~Display() { xcb_disconnect(connection_); }
    bool usable() const { return root_ != 0; }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : 0;
        free(reply);
        return atom;
    }

    // The mapped top-level windows of process `pid`.
    std::vector<xcb_window_t> windowsOf(qint64 pid) {
        std::vector<xcb_window_t> found;
        auto* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr);
        if (!tree)
            return found;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        const xcb_atom_t pidAtom = atom("_NET_WM_PID");
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            auto* attributes = xcb_get_window_attributes_reply(
                connection_, xcb_get_window_attributes(connection_, children[i]), nullptr);
            const bool mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            auto* property = xcb_get_property_reply(
                connection_,
                xcb_get_property(connection_, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                nullptr);
            if (mapped && property && xcb_get_property_value_length(property) == 4 &&
                *static_cast<uint32_t*>(xcb_get_property_value(property)) == uint32_t(pid))
                found.push_back(children[i]);
            free(property);
        }
        free(tree);
        return found;
    }

    void requestClose(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("WM_PROTOCOLS");
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

    // A key pressed and released in `window`, as the keyboard would deliver it.
    void pressKey(xcb_window_t window, xcb_keysym_t keysym, uint16_t modifiers = 0) {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        pressAndRelease(window, XCB_KEY_PRESS, keycodeOf(keysym), modifiers, modifiers);
    }

    // A left click at `x`, `y` in `window`.
    void click(xcb_window_t window, int16_t x, int16_t y) {
        pressAndRelease(window, XCB_BUTTON_PRESS, 1, 0, XCB_BUTTON_MASK_1, x, y);
    }

private:
    // `press` (XCB_KEY_PRESS or XCB_BUTTON_PRESS) and the release after it; key and button
    // events share one layout.
    void pressAndRelease(xcb_window_t window, uint8_t press, uint8_t detail, uint16_t pressState,
                         uint16_t releaseState, int16_t x = 0, int16_t y = 0) {
        const bool key = press == XCB_KEY_PRESS;
        for (const bool pressing : {true, false}) {
            xcb_key_press_event_t event{};
            event.response_type = pressing ? press : uint8_t(press + 1);
            event.detail = detail;
            event.root = root_;
            event.event = window;
            event.event_x = x;
            event.event_y = y;
            event.state = pressing ? pressState : releaseState;
            event.same_screen = 1;
            const uint32_t mask =
                key ? (pressing ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE)
                    : (pressing ? XCB_EVENT_MASK_BUTTON_PRESS : XCB_EVENT_MASK_BUTTON_RELEASE);
            xcb_send_event(connection_, 1, window, mask, reinterpret_cast<const char*>(&event));
            xcb_flush(connection_);
            QThread::msleep(50);
        }
    }

    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const uint8_t count = setup->max_keycode - setup->min_keycode + 1;
        auto* map = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        xcb_keycode_t found = 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        for (int i = 0; map && found == 0 && i < count * map->keysyms_per_keycode; ++i) {
            if (syms[i] == keysym)
                found = xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
        }
        free(map);
        return found;
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
};

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

TEST(CloseRequestTest, EveryFreshStartEndsOnTheFirstCloseRequest) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (xvfb-run)";
    Display display;
    ASSERT_TRUE(display.usable());
    const QString home = QString::fromStdString(testclips::makeTempDir());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("VELDRIN_INSTANCE_KEY", "close-request-test");
    for (const char* variable : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home + "/" + QString(variable).toLower();
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        environment.insert(variable, folder);
    }
    for (int start = 0; start < kStarts; ++start) {
        const bool afterDialog = start % kEveryDialog == 1;
        QProcess studio;
        studio.setProcessEnvironment(environment);
        studio.start(QStringLiteral(VELDRIN_STUDIO_PATH), {});
        ASSERT_TRUE(studio.waitForStarted());
        std::vector<xcb_window_t> windows;
        ASSERT_TRUE(waitUntil(
            [&] { return (windows = display.windowsOf(studio.processId())).size() == 1; }));
        const xcb_window_t main = windows.front();
        if (afterDialog) {
            // File > Open Video... or Ctrl+O opens the clip panel; Escape or its title bar's
            // close button closes it again.
            const bool byMenu = start % (2 * kEveryDialog) == 3;
            ASSERT_TRUE(waitUntil([&] {
                if (byMenu) {
                    display.click(main, kFileMenu.x(), kFileMenu.y());
                    QThread::msleep(kMenuOpenMs);
                    display.click(main, kOpenVideoItem.x(), kOpenVideoItem.y());
                } else {
                    display.pressKey(main, kKeyO, XCB_MOD_MASK_CONTROL);
                }
                return waitUntil([&] { return display.windowsOf(studio.processId()).size() == 2; },
                                 kRetryMs);
            }));
            const std::vector<xcb_window_t> shown = display.windowsOf(studio.processId());
            const xcb_window_t panel = shown.front() == main ? shown.back() : shown.front();
            // Half of them close it as its title bar would, the others with Escape.
            if (start % (2 * kEveryDialog) == 1)
                display.requestClose(panel);
            else
                display.pressKey(panel, kKeyEscape);
            ASSERT_TRUE(
                waitUntil([&] { return display.windowsOf(studio.processId()).size() == 1; }));
        }
        display.requestClose(main);
        if (!studio.waitForFinished(kWaitMs)) {
            ADD_FAILURE() << "start " << start << (afterDialog ? " after a dialog" : "")
                          << ": the close request was ignored";
            studio.kill();
            studio.waitForFinished();
        } else {
            EXPECT_EQ(std::pair(studio.exitStatus(), studio.exitCode()),
                      std::pair(QProcess::NormalExit, 0))
                << start;
        }
    }
}

} // namespace
