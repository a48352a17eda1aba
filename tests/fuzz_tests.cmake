# The tone player's loading path under libFuzzer, built where the compiler
# has it (clang with its runtime); gcc builds skip it.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] TOLVEX_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT TOLVEX_HAVE_LIBFUZZER)
  return()
endif()

# The decoder and the renderer are compiled into the fuzzer itself, so
# that libFuzzer sees their branches.
add_executable(fuzz_tone_loading
  fuzz/fuzz_tone_loading.cpp
  ${PROJECT_SOURCE_DIR}/sound/wave_decoder.cpp
  ${PROJECT_SOURCE_DIR}/sound/wave_render.cpp)
target_include_directories(fuzz_tone_loading PRIVATE ${PROJECT_SOURCE_DIR}/sound)
target_compile_options(fuzz_tone_loading PRIVATE -fsanitize=fuzzer)
target_link_options(fuzz_tone_loading PRIVATE -fsanitize=fuzzer)
target_link_libraries(fuzz_tone_loading PRIVATE Qt6::Core PkgConfig::SNDFILE)

# Seeds: well-formed tones in many encodings and every damaged file the
# decoder tests refuse, written fresh by the build.
add_executable(make_fuzz_seeds fuzz/make_fuzz_seeds.cpp)
target_link_libraries(make_fuzz_seeds PRIVATE tolvex_sound_test_support PkgConfig::SNDFILE)
set(TOLVEX_FUZZ_SEEDS ${CMAKE_CURRENT_BINARY_DIR}/fuzz-seeds)
add_custom_command(OUTPUT ${TOLVEX_FUZZ_SEEDS}/.written
  COMMAND make_fuzz_seeds ${TOLVEX_FUZZ_SEEDS}
  COMMAND ${CMAKE_COMMAND} -E touch ${TOLVEX_FUZZ_SEEDS}/.written
  DEPENDS make_fuzz_seeds
  VERBATIM)
add_custom_target(fuzz_seeds ALL DEPENDS ${TOLVEX_FUZZ_SEEDS}/.written)

# `make fuzz` runs the same script for longer. Inputs that found new paths
# are kept in fuzz-corpus between runs; crashing inputs land in fuzz-findings.
set(TOLVEX_FUZZ_SECONDS 60 CACHE STRING "How long the fuzzing test runs")
add_test(NAME fuzz_tone_loading
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/run_fuzz.sh $<TARGET_FILE:fuzz_tone_loading>
    ${TOLVEX_FUZZ_SECONDS} ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus ${TOLVEX_FUZZ_SEEDS}
    ${CMAKE_CURRENT_BINARY_DIR}/fuzz-findings)
# COST: the longest tests start first when ctest runs them side by side and
# has no timings of its own yet (a fresh build), rather than last and alone.
set_tests_properties(fuzz_tone_loading PROPERTIES TIMEOUT 600 COST ${TOLVEX_FUZZ_SECONDS})
