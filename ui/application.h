#pragma once
// The application as the game runs it, for the game, its tests and its
// benches alike, so that every window they show is the program's window.

#include <QApplication>

#include <memory>

namespace tolvex {

// The program's icon, of every window.
inline constexpr const char* kIconResource = ":/icons/tolvex-32.png";

// Makes the one QApplication: the menu bar kept in the window, the
// program's names, icon and desktop entry, the fonts of the windows' design,
// and the program ending only when the main window is closed.
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

} // namespace tolvex
