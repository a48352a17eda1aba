# Main window, about window and help launch, driven under the offscreen platform.
add_executable(test_ui
  test_ui_main.cpp
  test_ui_support.h
  test_ui_form1.cpp
  test_ui_timing.cpp
  test_ui_about.cpp
  test_ui_render.cpp
)
target_link_libraries(test_ui PRIVATE tolvex_ui Qt6::Test GTest::gtest)
# The instructions as the build lays them beside the program.
target_compile_definitions(test_ui PRIVATE
  TOLVEX_HELP_BESIDE_PROGRAM="$<TARGET_FILE_DIR:tolvex>/Instrucciones.htm")
add_dependencies(test_ui tolvex)
gtest_discover_tests(test_ui
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60
)

# Random input on the main window with its real timers running; a program of
# its own, so that a slow (sanitizer) build can give it the time it needs.
add_executable(test_ui_monkey
  test_ui_main.cpp
  test_ui_support.h
  engine_invariants.h
  test_ui_monkey.cpp
)
target_link_libraries(test_ui_monkey PRIVATE tolvex_ui Qt6::Test GTest::gtest)
gtest_discover_tests(test_ui_monkey
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 180
)
