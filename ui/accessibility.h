#pragma once
// What assistive tools (a screen reader, through the accessibility bus) are
// told of the windows: each pad one button that is pressed while it shows
// lit, the time bar a progress indicator, the about window's links links,
// the board a pane, and the game's messages notifications.

namespace tolvex {

// Once per program; later calls do nothing.
void installAccessibility();

} // namespace tolvex
