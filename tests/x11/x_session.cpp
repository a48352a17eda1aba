#include "x_session.h"

#include "wait_until.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tolvex::x11 {

namespace {

using tolvex::testing::waitUntil;

std::string windowTitle(Display* dpy, Window w)
{
    const Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(dpy, w, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

void walk(Display* dpy, Window w, const std::function<bool(Window)>& visit)
{
    if (visit(w)) return;
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &children, &n)) return;
    std::vector<Window> kids(children, children + n);
    if (children) XFree(children);
    for (Window c : kids) walk(dpy, c, visit);
}

bool viewable(Display* dpy, Window w)
{
    XWindowAttributes a;
    return XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

} // namespace

XvfbServer::XvfbServer(const std::string& screen)
{
    int fds[2];
    if (pipe(fds) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buf[32] = {};
    std::size_t got = 0;
    while (got < sizeof buf - 1) {
        const ssize_t n = read(fds[0], buf + got, sizeof buf - 1 - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
        if (std::memchr(buf, '\n', got)) break;
    }
    close(fds[0]);
    if (got > 0 && std::memchr(buf, '\n', got)) m_name = ":" + std::to_string(std::atoi(buf));
}

XvfbServer::~XvfbServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

XSession::XSession(const std::string& display)
{
    m_dpy = XOpenDisplay(display.c_str());
    if (m_dpy) XSetErrorHandler(ignoreErrors);
}

XSession::~XSession()
{
    if (m_dpy) XCloseDisplay(m_dpy);
}

std::optional<unsigned long> XSession::findWindow(const std::string& title) const
{
    std::optional<unsigned long> found;
    walk(m_dpy, DefaultRootWindow(m_dpy), [&](Window w) {
        if (w != DefaultRootWindow(m_dpy) && viewable(m_dpy, w) && windowTitle(m_dpy, w) == title) found = w;
        return found.has_value();
    });
    return found;
}

namespace {

// The first mapped top-level window whose attributes satisfy `match`.
std::optional<unsigned long> findTopLevel(Display* dpy, const std::function<bool(const XWindowAttributes&)>& match)
{
    std::optional<unsigned long> found;
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &n)) return found;
    for (unsigned int i = 0; i < n && !found; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable && match(a)) found = children[i];
    }
    if (children) XFree(children);
    return found;
}

} // namespace

std::optional<unsigned long> XSession::findUntitled(int width, int height) const
{
    return findTopLevel(m_dpy, [&](const XWindowAttributes& a) { return a.width == width && a.height == height; });
}

std::optional<unsigned long> XSession::waitForUntitled(int width, int height, std::chrono::milliseconds limit) const
{
    std::optional<unsigned long> w;
    waitUntil([&] { return (w = findUntitled(width, height)).has_value(); }, limit);
    return w;
}

std::optional<unsigned long> XSession::findPopupBelow(int x, int y) const
{
    return findTopLevel(m_dpy,
                        [&](const XWindowAttributes& a) { return a.override_redirect && a.x >= x - 4 && a.y >= y; });
}

std::optional<unsigned long> XSession::waitForWindow(const std::string& title, std::chrono::milliseconds limit) const
{
    std::optional<unsigned long> w;
    waitUntil([&] { return (w = findWindow(title)).has_value(); }, limit);
    return w;
}

bool XSession::waitGone(unsigned long window, std::chrono::milliseconds limit) const
{
    return waitUntil([&] { return !viewable(m_dpy, window); }, limit);
}

Rect XSession::geometry(unsigned long window) const
{
    XWindowAttributes a;
    Rect r;
    if (!XGetWindowAttributes(m_dpy, window, &a)) return r;
    Window child;
    XTranslateCoordinates(m_dpy, window, DefaultRootWindow(m_dpy), 0, 0, &r.x, &r.y, &child);
    r.width = a.width;
    r.height = a.height;
    return r;
}

void XSession::moveTo(int x, int y)
{
    XTestFakeMotionEvent(m_dpy, DefaultScreen(m_dpy), x, y, CurrentTime);
    XFlush(m_dpy);
}

void XSession::press(int button)
{
    XTestFakeButtonEvent(m_dpy, static_cast<unsigned>(button), True, CurrentTime);
    XFlush(m_dpy);
}

void XSession::release(int button)
{
    XTestFakeButtonEvent(m_dpy, static_cast<unsigned>(button), False, CurrentTime);
    XFlush(m_dpy);
}

void XSession::click(int x, int y, int button)
{
    moveTo(x, y);
    press(button);
    release(button);
}

void XSession::key(const std::string& keysym)
{
    const KeyCode code = XKeysymToKeycode(m_dpy, XStringToKeysym(keysym.c_str()));
    XTestFakeKeyEvent(m_dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(m_dpy, code, False, CurrentTime);
    XFlush(m_dpy);
}

void XSession::keyCode(unsigned code, bool down)
{
    XTestFakeKeyEvent(m_dpy, code, down ? True : False, CurrentTime);
    XFlush(m_dpy);
}

void XSession::focus(unsigned long window)
{
    XSetInputFocus(m_dpy, window, RevertToParent, CurrentTime);
    XFlush(m_dpy);
}

std::uint32_t XSession::pixel(int x, int y) const
{
    XImage* img = XGetImage(m_dpy, DefaultRootWindow(m_dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0;
    const unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return static_cast<std::uint32_t>(p & 0xFFFFFF);
}

void XSession::closeWindow(unsigned long window)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(m_dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(m_dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_dpy, window, False, NoEventMask, &ev);
    XFlush(m_dpy);
}

void XSession::sync() const { XSync(m_dpy, False); }

} // namespace tolvex::x11
