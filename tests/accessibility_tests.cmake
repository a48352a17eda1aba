# The real program read through the accessibility bus, as a screen reader
# reads it, and played with keys on a private X server.
add_executable(test_screen_reader test_screen_reader.cpp)
target_link_libraries(test_screen_reader PRIVATE tolvex_x11_driver tolvex_recorded_audio_main Qt6::Core GTest::gtest)
# Debian's pyatspi serves Debian's interpreter only, whatever python3 comes
# first on the PATH.
target_compile_definitions(test_screen_reader PRIVATE
  TOLVEX_PROGRAM="$<TARGET_FILE:tolvex>"
  TOLVEX_TONE_DIR="${PROJECT_SOURCE_DIR}/assets/tones"
  TOLVEX_SYSTEM_PYTHON="/usr/bin/python3"
  TOLVEX_ATSPI_LAUNCHER="/usr/libexec/at-spi-bus-launcher"
  TOLVEX_ATSPI_PROBE="${CMAKE_CURRENT_SOURCE_DIR}/accessibility/atspi_probe.py")
add_dependencies(test_screen_reader tolvex)
add_test(NAME ui_screen_reader COMMAND test_screen_reader)
# The probe finds the main window by its caption (tools/CMakeLists.txt).
set_tests_properties(ui_screen_reader PROPERTIES
  ENVIRONMENT "TOLVEX_AUDIO_STATE=${TOLVEX_AUDIO_DIR};TOLVEX_CAPTION=${TOLVEX_CAPTION}"
  FIXTURES_REQUIRED tolvex_audio
  RESOURCE_LOCK "tolvex_audio;tolvex_heavy"
  COST 35
  TIMEOUT 120)
