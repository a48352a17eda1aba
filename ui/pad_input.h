#pragma once
// Every way a pad is pressed and released: mouse buttons on its picture (and
// a finger, as Qt makes a mouse of it), the pad keys whatever control of the
// board has the focus, gamepad buttons, and a screen reader's press action.
// The rules hold whatever the source:
// - One pad at a time, as the mouse alone has it: while a pad is held, a
//   press on another pad is ignored, and so is that press's release.
// - On the held pad each mouse button is a press of its own, the keys and
//   gamepad buttons together one more, and a key and a mouse button at once
//   one press: a press is sent when the count of presses out grows, a
//   release when it shrinks.
// - A press on a pad that shows lit is lost, as a click on the lit picture.
// - A key's repeats are no presses.
// - Behind a modal box nothing is pressed; a release that the box took is
//   parked and delivered by settle(), once the handler that opened the box
//   has finished.
// - A pad held by a key is let go when the board loses the keyboard
//   (another program, the menu), as a mouse release always arrives; one
//   held by a gamepad button whenever another window takes the input, a
//   modal box of ours too.

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
    // A gamepad button's press or release; `button` tells it from every
    // other button of every pad.
    void gamepadButton(int button, int pad, bool down);
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
    // A key or a gamepad button, each holding its pad as one.
    enum class Holder : quint64 { Key = 1, Gamepad = 2 };
    static quint64 holder(Holder kind, int id) { return (static_cast<quint64>(kind) << 32) | static_cast<quint32>(id); }

    bool mouse(PadPicture* picture, QMouseEvent* event);
    bool key(QWidget* receiver, QKeyEvent* event);
    void hold(quint64 id, int pad, bool down);
    void releaseButton(Qt::MouseButton button);
    void letGoOf(Holder kind);
    bool mayPress(int pad) const;
    static bool behindModalBox();
    int pressesOut() const;
    // Applies `apply` to the holders and sends what it made of the held pad.
    template <typename Change> void change(int pad, Change&& apply);

    QMainWindow* m_board;
    std::array<PadPicture*, 4> m_unlit;
    std::function<bool()> m_handlerRunning;
    int m_pad = -1;             // the held pad
    Qt::MouseButtons m_buttons; // buttons holding it
    QSet<quint64> m_held;       // keys and gamepad buttons holding it
    QSet<quint64> m_heldUp;     // of those, the ones let go behind a modal box
    bool m_stopped = false;
};

} // namespace tolvex
