add_executable(test_engine
  engine_invariants.h
  engine_test_support.h
  test_engine_judging.cpp
  test_engine_playback.cpp
  test_engine_random.cpp
  test_engine_shows.cpp
  test_engine_startup.cpp
  test_engine_tones.cpp
)
target_link_libraries(test_engine PRIVATE tolvex_engine tolvex_test_support_headers GTest::gtest_main)
gtest_discover_tests(test_engine DISCOVERY_TIMEOUT 60)

# The engine must build with no Qt at all: configure a build that never looks
# for Qt and compile the engine there.
if(NOT TOLVEX_ENGINE_ONLY)
  add_test(NAME engine_builds_without_qt
    COMMAND sh -c "${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR} -B ${CMAKE_CURRENT_BINARY_DIR}/engine-only -DTOLVEX_ENGINE_ONLY=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null && ${CMAKE_COMMAND} --build ${CMAKE_CURRENT_BINARY_DIR}/engine-only --target tolvex_engine")
  set_tests_properties(engine_builds_without_qt PROPERTIES TIMEOUT 300 RESOURCE_LOCK tolvex_heavy)
endif()
