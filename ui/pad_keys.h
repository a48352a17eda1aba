#pragma once
// The keys that play the pads: 1 to 4 on the main row, and on the numeric
// keypad the key that lies where the pad does (7 9 / 1 3).

class QKeyEvent;

namespace tolvex {

// The pad a key stands for, or -1. A key is known by its place on the
// keyboard where the platform tells it (X11 and Wayland), so the main row
// plays on any layout, and the keypad with Num Lock on or off; by its
// character where it does not.
int padForKey(const QKeyEvent& event);

// Home, PgUp, PgDn or End: with Num Lock off the keypad's pad keys arrive
// as these, which also move a focused speed setting.
bool movesASlider(const QKeyEvent& event);

// The same physical key for its press and its release, whatever Shift, AltGr
// or Num Lock did in between; the main row's 1 and the keypad's 1 differ.
int padKeyIdentity(const QKeyEvent& event);

// The main-row key of a pad, as the player reads it: "1" to "4".
inline char padKeyDigit(int pad) { return static_cast<char>('1' + pad); }

} // namespace tolvex
