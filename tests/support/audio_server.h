#pragma once

namespace tolvex::testing {

// Points libpulse (PULSE_SERVER) at the private audio server whose state
// folder CTest names in TOLVEX_AUDIO_STATE; the server's start script wrote
// its address there. Without TOLVEX_AUDIO_STATE nothing changes. A recorded
// address that cannot be read ends the program: falling back to the user's
// own server would test the wrong thing.
void useRecordedAudioServer();

} // namespace tolvex::testing
