# Pictures: sizes, colours, pad pixels as drawn, the assembled ring, icon, logo, cursor, resources.
add_executable(test_assets_pictures test_assets_pictures.cpp test_assets_main.cpp picture_checks.h)
target_link_libraries(test_assets_pictures PRIVATE tolvex_assets tolvex_asset_art tolvex_test_support_headers
  Qt6::Gui GTest::gtest)
target_compile_definitions(test_assets_pictures PRIVATE TOLVEX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets")
gtest_discover_tests(test_assets_pictures DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# Tones: format, length, fades, level, pitch per pad, timbre per set.
add_executable(test_assets_tones test_assets_tones.cpp)
target_link_libraries(test_assets_tones PRIVATE tolvex_engine PkgConfig::SNDFILE GTest::gtest_main)
target_compile_definitions(test_assets_tones PRIVATE TOLVEX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets")
gtest_discover_tests(test_assets_tones DISCOVERY_TIMEOUT 60)

# The generators, run into a temporary folder, reproduce the committed files.
add_executable(test_assets_reproducible test_assets_reproducible.cpp test_assets_main.cpp)
target_link_libraries(test_assets_reproducible PRIVATE Qt6::Gui GTest::gtest)
target_compile_definitions(test_assets_reproducible PRIVATE
  TOLVEX_ASSETS_DIR="${PROJECT_SOURCE_DIR}/assets"
  MAKE_PICTURES="$<TARGET_FILE:make_pictures>"
  MAKE_TONES="$<TARGET_FILE:make_tones>")
add_dependencies(test_assets_reproducible make_pictures make_tones)
gtest_discover_tests(test_assets_reproducible DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
