#pragma once
// The keys that play the pads: 1 to 4 on the main row, and on the numeric
// keypad the key that lies where the pad does (7 9 / 1 3).

class QKeyEvent;

namespace tolvex {

// The pad a key stands for, or -1.
int padForKey(const QKeyEvent& event);

// The main-row key of a pad, as the player reads it: "1" to "4".
inline char padKeyDigit(int pad) { return static_cast<char>('1' + pad); }

} // namespace tolvex
