#pragma once
// Qt 6.4's own title bar on Wayland shows a maximise button on every window,
// also one of fixed size, and weston closes the connection of a client that
// then keeps its size. The request is taken back here, behind Qt's, before
// either leaves the program, so the compositor never answers it.

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace tolvex {

class MaximiseRefusal : public QObject {
public:
    // Refuses for `window`, a top-level widget whose smallest and largest
    // size are the same, on Wayland; elsewhere it does nothing. The window
    // owns it.
    explicit MaximiseRefusal(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stateChanged();

    QPointer<QWidget> m_widget;
    QPointer<QWindow> m_window;
};

} // namespace tolvex
