# Build settings for test code (suites, their fixtures and drivers). The test command builds the
# program four times on machines as small as two cores, and test files cost the most: each one
# parses GoogleTest and much of the standard library again, then optimises large test bodies.
#
# - GoogleTest and the most used standard headers are precompiled once per test target.
# - Test code is optimised at -O1 in every build type: the program's own libraries keep the build
#   type's level (-O3 in Release), so what the tests check is the optimised program; only the test
#   bodies around it build faster.
option(T4_TEST_PCH "Precompile GoogleTest and the standard headers for test targets" ON)

set(T4_TEST_PCH_HEADERS
    <gtest/gtest.h>
    <algorithm>
    <cmath>
    <cstdint>
    <cstdio>
    <cstring>
    <filesystem>
    <fstream>
    <functional>
    <map>
    <memory>
    <optional>
    <sstream>
    <string>
    <vector>)

# t4_test_code(TARGET [NO_GTEST]): NO_GTEST for test code that does not link GoogleTest.
function(t4_test_code target)
  cmake_parse_arguments(ARG "NO_GTEST" "" "" ${ARGN})
  target_compile_options(${target} PRIVATE -O1)
  # gcc 12 at -O1 inlines libstdc++'s std::string copies and concatenations in table-driven tests
  # only partly and then reports them as out of bounds, overflowing or over-reading (false positives
  # inside char_traits, e.g. `std::string(".H") + std::string(58, '.')`). Only test code is built at
  # -O1, so only test code leaves these three out; the sanitizer build checks the real bounds at run
  # time. Other compilers keep them.
  target_compile_options(
    ${target} PRIVATE
    "$<$<CXX_COMPILER_ID:GNU>:-Wno-array-bounds;-Wno-stringop-overflow;-Wno-stringop-overread>")
  if(T4_TEST_PCH)
    set(headers ${T4_TEST_PCH_HEADERS})
    if(ARG_NO_GTEST)
      list(REMOVE_ITEM headers <gtest/gtest.h>)
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
  endif()
endfunction()
