#include "maximise_refusal.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include "xdg-shell-client-protocol.h"

namespace tolvex {

MaximiseRefusal::MaximiseRefusal(QWidget* window) : QObject(window), m_widget(window)
{
    if (window && QGuiApplication::platformName() == QLatin1String("wayland")) window->installEventFilter(this);
}

// The widget's window exists from its first show on, and may be made anew.
bool MaximiseRefusal::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || watched != m_widget) return false;
    QWindow* window = m_widget->windowHandle();
    if (!window || window == m_window) return false;
    if (m_window) disconnect(m_window, nullptr, this, nullptr);
    m_window = window;
    // Direct: the refusal must join Qt's request before the requests go out.
    connect(window, &QWindow::windowStateChanged, this, &MaximiseRefusal::stateChanged, Qt::DirectConnection);
    return false;
}

void MaximiseRefusal::stateChanged()
{
    QWindow* window = m_window;
    if (!window || !window->windowStates().testFlag(Qt::WindowMaximized)) return;
    if (window->minimumSize() != window->maximumSize()) return;
    // Qt sends only what differs from the compositor's last configure, which
    // was not maximised, so the unmaximise goes out here; weston, handed both
    // at once, has nothing left to configure.
    auto* toplevel = static_cast<xdg_toplevel*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForWindow("xdg_toplevel", window));
    if (toplevel) xdg_toplevel_unset_maximized(toplevel);
    // Qt counts the window maximised from the moment it asked.
    window->setWindowStates(window->windowStates() & ~Qt::WindowMaximized);
}

} // namespace tolvex
