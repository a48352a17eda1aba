#pragma once
// Gamepads at the window: the buttons that play pads go to PadInput, under
// its rules; Start clicks "Nuevo Juego"; the D-pad moves the keyboard focus
// and the choice as the arrow keys and Tab do; a face button or Start
// closes the about window, and A or Start answers the tone warning. Presses
// made while another program is in front are ignored.

#include "gamepads.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <memory>

class QAbstractButton;
class QWidget;

namespace tolvex {

class PadInput;

class GamepadInput : public QObject {
    Q_OBJECT
public:
    GamepadInput(std::unique_ptr<Gamepads> gamepads, PadInput* pads, QAbstractButton* newGame, QObject* parent);

private:
    void poll();
    void drain();
    void handle(const GamepadEvent& event);
    // True when the press closed or answered the modal window.
    static bool answer(QWidget* modal, PadButton button);
    static void moveFocus(PadButton button, bool down);

    std::unique_ptr<Gamepads> m_gamepads;
    PadInput* m_pads;
    QAbstractButton* m_newGame;
    QTimer m_poll;
    // Taken in order, also by a modal box's loop that a press opened.
    std::deque<GamepadEvent> m_pending;
    std::chrono::steady_clock::time_point m_lastMoved;
};

} // namespace tolvex
