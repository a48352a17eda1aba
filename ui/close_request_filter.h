#pragma once
// The window manager's close button on a window that a modal box blocks: Qt
// drops that request, but closing the main window must end the program in
// any phase, so it is caught here and handed to the window as a close.

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <cstdint>

class QWidget;

namespace tolvex {

class CloseRequestFilter : public QAbstractNativeEventFilter {
public:
    // Installs itself on X11 (also XWayland); elsewhere it does nothing.
    explicit CloseRequestFilter(QWidget* window);
    ~CloseRequestFilter() override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> m_window;
    std::uint32_t m_wmProtocols = 0;
    std::uint32_t m_wmDeleteWindow = 0;
    bool m_installed = false;
};

} // namespace tolvex
