#pragma once
// "Como Jugar": the desktop opens the instructions that lie beside the program.

#include <QString>

namespace tolvex {

inline constexpr const char* kHelpDocument = "Instrucciones.htm";

// Asks the desktop to open the instructions in `directory` and returns at
// once. A missing document is left alone, so no desktop error appears.
void openHelpDocument(const QString& directory);

} // namespace tolvex
