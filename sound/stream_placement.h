#pragma once
// Where a queued sound plays, judged from the server's answer on its default
// output: on the stream it was queued on, or on a new stream, which the
// server places on the new default.

#include <string>

namespace tolvex {

enum class Placement {
    StartHere,
    ReopenOnNewDefault,
};

// `lastDefault`: the default output at the server's previous answer, empty
// before the first; `nowDefault`: at this answer, empty if it named none;
// `streamOutput`: where the stream plays now, empty if unknown. Only a change
// of the default moves a sound: a stream that a mixer sent elsewhere by hand
// stays where it was sent.
Placement placeSound(const std::string& lastDefault, const std::string& nowDefault, const std::string& streamOutput);

} // namespace tolvex
