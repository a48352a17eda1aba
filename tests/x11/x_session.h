#pragma once
// Drives a real X server for end-to-end checks: a private Xvfb, windows found
// by title, synthetic pointer input through XTest, pixels read back, and the
// window manager's polite close request.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

typedef struct _XDisplay Display;

namespace tolvex::x11 {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

class XvfbServer {
public:
    // Starts Xvfb on a free display number; empty name() if it could not start.
    explicit XvfbServer(const std::string& screen = "1024x768x24");
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    const std::string& name() const { return m_name; } // ":N"

private:
    pid_t m_pid = -1;
    std::string m_name;
};

class XSession {
public:
    explicit XSession(const std::string& display);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    bool ok() const { return m_dpy != nullptr; }

    // The top-level window whose title is exactly `title`, once it is viewable.
    std::optional<unsigned long> findWindow(const std::string& title) const;
    std::optional<unsigned long> waitForWindow(const std::string& title, std::chrono::milliseconds limit) const;
    bool waitGone(unsigned long window, std::chrono::milliseconds limit) const;
    // A window mapped with no title (frameless windows often have none).
    std::optional<unsigned long> findUntitled(int width, int height) const;
    std::optional<unsigned long> waitForUntitled(int width, int height, std::chrono::milliseconds limit) const;
    // A mapped top-level window other than those with a title, whose top
    // left lies below and right of (x, y): a popup menu opened there.
    std::optional<unsigned long> findPopupBelow(int x, int y) const;
    Rect geometry(unsigned long window) const; // in root coordinates

    void moveTo(int x, int y);
    void press(int button = 1);
    void release(int button = 1);
    void click(int x, int y, int button = 1);
    void key(const std::string& keysym);
    // A key by its place (an XKB key code), pressed or let go, whatever the layout.
    void keyCode(unsigned code, bool down);
    // 0xRRGGBB of the root window's pixel.
    std::uint32_t pixel(int x, int y) const;
    void closeWindow(unsigned long window);
    // The keyboard to `window`, as a window manager gives it on a click.
    void focus(unsigned long window);
    void sync() const;

private:
    Display* m_dpy = nullptr;
};

} // namespace tolvex::x11
