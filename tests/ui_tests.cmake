# Main window, about window and help launch, driven under the offscreen platform.
add_executable(test_ui
  test_ui_main.cpp
  test_ui_support.h
  test_ui_form1.cpp
  test_ui_timing.cpp
  test_ui_about.cpp
  test_ui_render.cpp
  test_ui_keyboard.cpp
  test_ui_accessibility.cpp
  test_ui_palette.cpp
)
target_link_libraries(test_ui PRIVATE tolvex_ui tolvex_gamepad tolvex_test_support tolvex_x11_driver Qt6::Test
  Qt6::GuiPrivate GTest::gtest)
# The instructions as the build lays them beside the program.
target_compile_definitions(test_ui PRIVATE
  TOLVEX_HELP_BESIDE_PROGRAM="$<TARGET_FILE_DIR:tolvex>/Instrucciones.htm")
add_dependencies(test_ui tolvex)
gtest_discover_tests(test_ui
  DISCOVERY_TIMEOUT 60
  TEST_FILTER "-ByPlace/*"
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60
)
# The keys known by their place, where X11 gives it: each on a private Xvfb.
gtest_discover_tests(test_ui
  DISCOVERY_TIMEOUT 60
  TEST_PREFIX "x11."
  TEST_FILTER "ByPlace/*"
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 60
)

# The window on a machine with missing or broken tone files, or no audio
# server: the file cases listen to the tests' private server, so that a
# refusal is the file's doing.
add_executable(test_ui_surroundings test_ui_main.cpp test_ui_support.h test_ui_surroundings.cpp)
target_link_libraries(test_ui_surroundings PRIVATE tolvex_ui tolvex_test_support tolvex_sound_test_support
  tolvex_x11_driver Qt6::Test GTest::gtest)
# The modules as another build of the game would make them.
foreach(module sound gamepad)
  add_library(tolvex_other_build_${module} MODULE ${PROJECT_SOURCE_DIR}/${module}/${module}_module.cpp)
  target_link_libraries(tolvex_other_build_${module} PRIVATE tolvex_${module} tolvex_module_build)
  target_compile_definitions(tolvex_other_build_${module} PRIVATE TOLVEX_BUILD_ID="another build")
  set_target_properties(tolvex_other_build_${module} PROPERTIES
    OUTPUT_NAME tolvex-${module} PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/another-build)
  add_dependencies(test_ui_surroundings tolvex_other_build_${module})
endforeach()
target_compile_definitions(test_ui_surroundings PRIVATE TOLVEX_TONE_DIR="${PROJECT_SOURCE_DIR}/assets/tones"
  TOLVEX_THIS_BUILD_DIR="$<TARGET_FILE_DIR:tolvex>"
  TOLVEX_NO_MODULE_DIR="${CMAKE_CURRENT_BINARY_DIR}/no-modules"
  TOLVEX_OTHER_BUILD_DIR="${CMAKE_CURRENT_BINARY_DIR}/another-build")
add_dependencies(test_ui_surroundings tolvex tolvex_gamepad_module)
add_test(NAME ui_surroundings COMMAND test_ui_surroundings --gtest_filter=-SurroundingsTest.NoAudioServer*)
set_tests_properties(ui_surroundings PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TOLVEX_AUDIO_STATE=${TOLVEX_AUDIO_DIR}"
  FIXTURES_REQUIRED tolvex_audio
  RESOURCE_LOCK tolvex_audio
  TIMEOUT 300)
add_test(NAME ui_surroundings_no_audio_server
  COMMAND test_ui_surroundings --gtest_filter=SurroundingsTest.NoAudioServer*)
set_tests_properties(ui_surroundings_no_audio_server PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PULSE_SERVER=${TOLVEX_NO_AUDIO_SERVER}"
  TIMEOUT 120)

# No program to open documents or links with, on a private X display.
add_executable(test_ui_no_handler test_ui_no_handler.cpp test_ui_support.h)
target_link_libraries(test_ui_no_handler PRIVATE tolvex_ui tolvex_test_support tolvex_x11_driver Qt6::Test GTest::gtest)
add_test(NAME ui_no_desktop_handler COMMAND test_ui_no_handler)
set_tests_properties(ui_no_desktop_handler PROPERTIES TIMEOUT 120)

# A player at the built program's window: wins "Fácil", then loses.
add_executable(test_play_by_hand test_play_by_hand.cpp)
target_link_libraries(test_play_by_hand PRIVATE tolvex_x11_driver tolvex_recorded_audio_main Qt6::Core GTest::gtest)
target_compile_definitions(test_play_by_hand PRIVATE
  TOLVEX_PROGRAM="$<TARGET_FILE:tolvex>"
  TOLVEX_TONE_DIR="${PROJECT_SOURCE_DIR}/assets/tones")
add_test(NAME play_by_hand COMMAND test_play_by_hand)
set_tests_properties(play_by_hand PROPERTIES
  ENVIRONMENT "TOLVEX_AUDIO_STATE=${TOLVEX_AUDIO_DIR}"
  FIXTURES_REQUIRED tolvex_audio
  RESOURCE_LOCK "tolvex_audio;tolvex_heavy"
  COST 30
  TIMEOUT 180)

# Random input on the main window with its real timers running; a program of
# its own, so that a slow (sanitizer) build can give it the time it needs.
add_executable(test_ui_monkey
  test_ui_main.cpp
  test_ui_support.h
  engine_invariants.h
  test_ui_monkey.cpp
)
target_link_libraries(test_ui_monkey PRIVATE tolvex_ui tolvex_test_support tolvex_x11_driver Qt6::Test GTest::gtest)
gtest_discover_tests(test_ui_monkey
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 180 COST 25 RESOURCE_LOCK tolvex_heavy
)

# The refused-tone warning box on its own.
add_executable(test_ui_warning test_ui_warning.cpp)
target_link_libraries(test_ui_warning PRIVATE tolvex_ui GTest::gtest)
gtest_discover_tests(test_ui_warning DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)

# The timers' rules, with no window.
add_executable(test_ui_timer_policy test_ui_timer_policy.cpp)
target_link_libraries(test_ui_timer_policy PRIVATE tolvex_ui GTest::gtest_main)
gtest_discover_tests(test_ui_timer_policy DISCOVERY_TIMEOUT 60)

# The windows on a screen at 200 % and at 300 %: the same layout, the
# pictures at the screen's resolution.
add_executable(test_ui_hidpi test_ui_main.cpp test_ui_support.h picture_checks.h test_ui_hidpi.cpp)
target_link_libraries(test_ui_hidpi PRIVATE tolvex_ui tolvex_test_support tolvex_x11_driver Qt6::Test GTest::gtest)
foreach(scale 2 3)
  add_test(NAME ui_hidpi_scale${scale} COMMAND test_ui_hidpi)
  set_tests_properties(ui_hidpi_scale${scale} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${scale}"
    TIMEOUT 60)
endforeach()

# The windows as a Wayland client of a headless weston that the test starts
# and stops itself; it fails, never skips, without weston or Qt's plugin.
# Not discovered at build time: listing its tests would start the compositor.
add_executable(test_ui_wayland test_ui_wayland.cpp test_ui_support.h)
target_link_libraries(test_ui_wayland PRIVATE tolvex_ui tolvex_test_support Qt6::Test Qt6::GuiPrivate
  PkgConfig::WAYLAND_CLIENT GTest::gtest)
add_test(NAME ui_wayland_smoke COMMAND test_ui_wayland)
set_tests_properties(ui_wayland_smoke PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=wayland"
  TIMEOUT 120)
