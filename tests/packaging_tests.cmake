# The Debian package: control data, layout, desktop entry and AppStream file,
# then the installed game run end to end from its launcher.

set(TOLVEX_PACKAGE_TEST_DIR ${CMAKE_CURRENT_BINARY_DIR}/package-test)
add_test(NAME package_deb
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check_package.sh ${CMAKE_BINARY_DIR} ${TOLVEX_PACKAGE_TEST_DIR}
  ${PROJECT_VERSION})
set_tests_properties(package_deb PROPERTIES FIXTURES_SETUP tolvex_installed TIMEOUT 300 RESOURCE_LOCK tolvex_heavy)

add_executable(test_install_smoke test_install_smoke.cpp)
target_link_libraries(test_install_smoke PRIVATE tolvex_x11_driver tolvex_recorded_audio_main tolvex_sound_test_support
  Qt6::Core GTest::gtest)
target_compile_definitions(test_install_smoke PRIVATE
  TOLVEX_TEST_SINK="${TOLVEX_TEST_SINK}"
  TOLVEX_INSTALLED_ROOT="${TOLVEX_PACKAGE_TEST_DIR}/root")
add_test(NAME install_smoke COMMAND test_install_smoke)
set_tests_properties(install_smoke PROPERTIES
  ENVIRONMENT "TOLVEX_AUDIO_STATE=${TOLVEX_AUDIO_DIR}"
  FIXTURES_REQUIRED "tolvex_installed;tolvex_audio"
  RESOURCE_LOCK tolvex_audio
  TIMEOUT 120)
