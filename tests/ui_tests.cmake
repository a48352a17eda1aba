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
