#pragma once
// Every way a pad is pressed and released: mouse buttons on its picture, the
// pad keys whatever control of the board has the focus, and a screen
// reader's press action. The rules hold whatever the source:
// - One pad at a time, as the mouse alone has it: while a pad is held, a
//   press on another pad is ignored, and so is that press's release.
// - On the held pad each mouse button is a press of its own, the keys
//   together one more, and a key and a button at once one press: a press is
//   sent when the count of presses out grows, a release when it shrinks.
// - A press on a pad that shows lit is lost, as a click on the lit picture.
// - A key's repeats are no presses.
// - A release that a modal box took is parked and delivered by settle(),
//   once the handler that opened the box has finished.
// - A pad held by a key is let go when the board loses the keyboard
//   (another program, the menu), as a mouse release always arrives.

#include <QObject>
#include <QSet>

#include <array>
#include <functional>

class QKeyEvent;
class QMainWindow;
class QMouseEvent;
class QWidget;

namespace tolvex {

class PadPicture;

class PadInput : public QObject {
    Q_OBJECT
public:
    // The unlit pictures take the presses, the lit ones swallow them;
    // `handlerRunning` tells when a release must stay parked.
    PadInput(QMainWindow* board, const std::array<PadPicture*, 4>& unlit, std::function<bool()> handlerRunning);

    // A press and release at once, as a screen reader's action asks.
    void pressAndRelease(int pad);
    // Delivers the releases parked while a modal box was up.
    void settle();
    // The pad held now, or -1.
    int heldPad() const { return m_pad; }
    // No pad key reaches the game from now on: the program is ending.
    void stop() { m_stopped = true; }

signals:
    void pressed(int pad);
    void released(int pad);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mouse(PadPicture* picture, QMouseEvent* event);
    bool key(QWidget* receiver, QKeyEvent* event);
    void releaseButton(Qt::MouseButton button);
    void letGoOfKeys();
    bool mayPress(int pad) const;
    int pressesOut() const;
    // Applies `change` to the holders and sends what it made of the held pad.
    template <typename Change> void change(int pad, Change&& apply);

    QMainWindow* m_board;
    std::array<PadPicture*, 4> m_unlit;
    std::function<bool()> m_handlerRunning;
    int m_pad = -1;             // the held pad
    Qt::MouseButtons m_buttons; // buttons holding it
    QSet<int> m_keys;           // keys holding it
    QSet<int> m_keysUp;         // of those, the ones let go behind a modal box
    bool m_stopped = false;
};

} // namespace tolvex
