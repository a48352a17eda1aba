#pragma once

#include <string>

class QWidget;

namespace tolvex {

// Shows `prompt` in a modal warning box with a single OK button and returns
// when the player has closed it. The prompt's carriage return is shown as a
// line break.
void showToneWarning(QWidget* parent, const std::string& prompt);

} // namespace tolvex
