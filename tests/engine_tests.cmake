add_executable(test_engine
  engine_test_support.h
  test_engine_judging.cpp
  test_engine_playback.cpp
  test_engine_random.cpp
  test_engine_shows.cpp
  test_engine_startup.cpp
  test_engine_tones.cpp
)
target_link_libraries(test_engine PRIVATE tolvex_engine GTest::gtest_main)
gtest_discover_tests(test_engine DISCOVERY_TIMEOUT 60)
