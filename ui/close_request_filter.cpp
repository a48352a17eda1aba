#include "close_request_filter.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace tolvex {

namespace {

std::uint32_t internAtom(xcb_connection_t* c, const char* name)
{
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (!reply) return 0;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

CloseRequestFilter::CloseRequestFilter(QWidget* window) : m_window(window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return;
    m_wmProtocols = internAtom(x11->connection(), "WM_PROTOCOLS");
    m_wmDeleteWindow = internAtom(x11->connection(), "WM_DELETE_WINDOW");
    qGuiApp->installNativeEventFilter(this);
    m_installed = true;
}

CloseRequestFilter::~CloseRequestFilter()
{
    if (m_installed && qGuiApp) qGuiApp->removeNativeEventFilter(this);
}

bool CloseRequestFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !m_window) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* cm = static_cast<const xcb_client_message_event_t*>(message);
    if (cm->format != 32 || cm->type != m_wmProtocols || cm->data.data32[0] != m_wmDeleteWindow) return false;
    // Unblocked, Qt delivers the close itself.
    if (!QApplication::activeModalWidget() || cm->window != m_window->winId()) return false;
    QMetaObject::invokeMethod(m_window, &QWidget::close, Qt::QueuedConnection);
    return true;
}

} // namespace tolvex
