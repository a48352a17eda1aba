# Sound: decoding, playback through a real (private) audio server, the
# player without any server.

set(TOLVEX_TEST_SINK tolvex_test)
set(TOLVEX_AUDIO_DIR ${CMAKE_CURRENT_BINARY_DIR}/audio-server)
set(TOLVEX_PIPEWIRE_DIR ${CMAKE_CURRENT_BINARY_DIR}/pipewire-server)
# Tests reach these servers through TOLVEX_AUDIO_STATE=<state dir>: their
# sockets lie in short folders of their own (tests/audio/server_lib.sh).
# Tests run side by side (ctest -j). Those that play on or record either
# server hold tolvex_audio (a recording would hear another test's tones);
# the whole games also hold tolvex_heavy, as do the tests that keep a core
# busy for seconds, beside which the server missed the player's 60 ms.
# A socket that no server makes, short enough to be a valid address.
set(TOLVEX_NO_AUDIO_SERVER unix:/nonexistent/tolvex-no-audio-server/native)

add_library(tolvex_sound_test_support STATIC
  audio/damaged_waves.cpp
  audio/damaged_waves.h
  audio/monitor_recorder.cpp
  audio/monitor_recorder.h
  audio/tone_analysis.cpp
  audio/tone_analysis.h
  audio/wave_files.cpp
  audio/wave_files.h
)
target_include_directories(tolvex_sound_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/audio)
# File by file: clang-tidy reads the fuzzer's sources, which only clang
# builds, with the flags of their nearest neighbours in the build, these.
set_target_properties(tolvex_sound_test_support PROPERTIES UNITY_BUILD OFF)
target_link_libraries(tolvex_sound_test_support PUBLIC tolvex_sound tolvex_test_support Qt6::Core Qt6::Test
  PRIVATE PkgConfig::SNDFILE)

# A private PulseAudio server with a null sink for the tests that play;
# started before them and stopped after them.
add_test(NAME sound_audio_server_start
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/pulse_start.sh ${TOLVEX_AUDIO_DIR} ${TOLVEX_TEST_SINK})
add_test(NAME sound_audio_server_stop
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/pulse_stop.sh ${TOLVEX_AUDIO_DIR})
set_tests_properties(sound_audio_server_start PROPERTIES FIXTURES_SETUP tolvex_audio TIMEOUT 30)
set_tests_properties(sound_audio_server_stop PROPERTIES FIXTURES_CLEANUP tolvex_audio TIMEOUT 30)

# The same sinks on a private PipeWire with its session manager and pulse
# server; the playback tests run against both servers.
add_test(NAME sound_pipewire_server_start
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/pipewire_start.sh ${TOLVEX_PIPEWIRE_DIR} ${TOLVEX_TEST_SINK})
add_test(NAME sound_pipewire_server_stop
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/pipewire_stop.sh ${TOLVEX_PIPEWIRE_DIR})
set_tests_properties(sound_pipewire_server_start PROPERTIES FIXTURES_SETUP tolvex_pipewire TIMEOUT 30
  RESOURCE_LOCK tolvex_audio)
set_tests_properties(sound_pipewire_server_stop PROPERTIES FIXTURES_CLEANUP tolvex_pipewire TIMEOUT 30
  RESOURCE_LOCK tolvex_audio)

# Both servers from a state folder far deeper than a socket path may be.
add_test(NAME sound_servers_from_a_deep_folder
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/audio/deep_state_check.sh ${CMAKE_CURRENT_BINARY_DIR}/deep-audio-state)
set_tests_properties(sound_servers_from_a_deep_folder PROPERTIES TIMEOUT 60 RESOURCE_LOCK tolvex_audio)

# Decoding, refusals of damaged files, the tone cache, rendering for a
# stream and where a sound plays: no audio server.
add_executable(test_sound_decoder test_sound_decoder.cpp test_sound_render.cpp test_sound_tone_cache.cpp)
target_link_libraries(test_sound_decoder PRIVATE tolvex_sound tolvex_sound_test_support
  PkgConfig::SNDFILE GTest::gtest_main)
gtest_discover_tests(test_sound_decoder DISCOVERY_TIMEOUT 60)

# Real playback, recorded from the null sink's monitor. One at a time: they
# all listen to the same sink.
add_executable(test_sound_player test_sound_player.cpp)
target_link_libraries(test_sound_player PRIVATE tolvex_sound tolvex_sound_test_support tolvex_recorded_audio_main
  PkgConfig::SNDFILE GTest::gtest)
target_compile_definitions(test_sound_player PRIVATE
  TOLVEX_TEST_SINK="${TOLVEX_TEST_SINK}"
  TOLVEX_TONE_DIR="${PROJECT_SOURCE_DIR}/assets/tones"
  # The scripts that start and stop the servers, for the test that stops one.
  TOLVEX_AUDIO_SCRIPTS="${CMAKE_CURRENT_SOURCE_DIR}/audio")
gtest_discover_tests(test_sound_player DISCOVERY_TIMEOUT 60
  PROPERTIES
    ENVIRONMENT "TOLVEX_AUDIO_STATE=${TOLVEX_AUDIO_DIR}"
    FIXTURES_REQUIRED tolvex_audio
    RESOURCE_LOCK tolvex_audio
    TIMEOUT 60)
gtest_discover_tests(test_sound_player DISCOVERY_TIMEOUT 60
  TEST_PREFIX pipewire.
  PROPERTIES
    ENVIRONMENT "TOLVEX_AUDIO_STATE=${TOLVEX_PIPEWIRE_DIR}"
    FIXTURES_REQUIRED tolvex_pipewire
    RESOURCE_LOCK tolvex_audio
    TIMEOUT 60)

# No audio server at all: the socket named does not exist.
add_executable(test_sound_no_server test_sound_no_server.cpp)
target_link_libraries(test_sound_no_server PRIVATE tolvex_sound tolvex_sound_test_support tolvex_recorded_audio_main
  PkgConfig::SNDFILE GTest::gtest)
gtest_discover_tests(test_sound_no_server DISCOVERY_TIMEOUT 60
  PROPERTIES
    ENVIRONMENT "PULSE_SERVER=${TOLVEX_NO_AUDIO_SERVER}"
    TIMEOUT 60)

# A server that takes connections and never answers: neither the player's
# start nor a tone may wait on it. The test makes that server itself.
add_executable(test_sound_silent_server test_sound_silent_server.cpp)
target_link_libraries(test_sound_silent_server PRIVATE tolvex_sound tolvex_sound_test_support tolvex_recorded_audio_main
  PkgConfig::SNDFILE GTest::gtest)
gtest_discover_tests(test_sound_silent_server DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)
