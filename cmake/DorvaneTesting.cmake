# Test plumbing shared by the native and the Windows builds.

if(DORVANE_TESTS)
  if(CMAKE_CROSSCOMPILING)
    # No GoogleTest package for MinGW: build Debian's sources with the cross
    # compiler. SYSTEM keeps its headers out of our -Werror.
    set(DORVANE_GTEST_SOURCE_DIR /usr/src/googletest/googletest
        CACHE PATH "GoogleTest sources built for the cross targets")
    if(NOT EXISTS ${DORVANE_GTEST_SOURCE_DIR}/CMakeLists.txt)
      message(FATAL_ERROR "GoogleTest sources not found in ${DORVANE_GTEST_SOURCE_DIR} (Debian package googletest)")
    endif()
    set(gtest_build_tests OFF CACHE BOOL "" FORCE)
    set(gtest_build_samples OFF CACHE BOOL "" FORCE)
    add_subdirectory(${DORVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    # Same target names as the native GTest package.
    if(NOT TARGET GTest::gtest)
      add_library(GTest::gtest ALIAS gtest)
      add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# gtest's closing summary, with at least one test: an executable that exits
# quietly, crashes before the summary or links no test at all never passes.
set(DORVANE_GTEST_PASS "\\[  PASSED  \\] [1-9][0-9]* tests?\\.")
# A failed test, or a non-zero exit reported by the launcher. ctest ignores
# the exit code once a pass pattern is set, so the launchers print it.
set(DORVANE_GTEST_FAIL "\\[  FAILED  \\]" "exited with code [0-9]+")

# Registers a GoogleTest executable as one ctest test. Windows executables
# run through CMAKE_CROSSCOMPILING_EMULATOR (cmake/wine-run.sh); native ones
# through cmake/run-test.sh. Test discovery is not used: it would run the
# executables at build time, under Wine for the cross builds.
#
# With NAME and FILTER the executable is registered once more under another
# name for the tests a gtest filter selects, so that a long suite runs as
# parts, each within its own time limit.
function(dorvane_add_gtest target)
  cmake_parse_arguments(PART "" "NAME;FILTER" "" ${ARGN})
  if(PART_NAME)
    add_test(NAME ${PART_NAME} COMMAND ${target} --gtest_filter=${PART_FILTER})
    set(timeout 150)
    set(target ${PART_NAME})
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set(timeout 150)   # above wine-run.sh's own limit, so that one fires first
  elseif(WIN32)
    # Built on Windows itself: no shell for the launcher, so the exit code
    # decides and the pass pattern (which would hide it) is left out.
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]" TIMEOUT 300)
    return()
  else()
    add_test(NAME ${target} COMMAND ${PROJECT_SOURCE_DIR}/cmake/run-test.sh $<TARGET_FILE:${target}>)
    set(timeout 300)
  endif()
  set_tests_properties(${target} PROPERTIES
    PASS_REGULAR_EXPRESSION "${DORVANE_GTEST_PASS}"
    FAIL_REGULAR_EXPRESSION "${DORVANE_GTEST_FAIL}"
    TIMEOUT ${timeout})
  dorvane_test_environment(${target})
endfunction()

# wine-run.sh's line for a 32-bit program on a kernel that refuses one: the
# test is counted as skipped, never as passed.
set(DORVANE_WINE_SKIP "wine-run: SKIPPED: ")

# Runs a shell script that drives a command-line tool the way an
# administrator would: SCRIPT DATA_DIR TOOL_DATA_DIR [RUNNER] TOOL. A Windows
# tool runs under Wine, where the data folder is seen as Z:/...
function(dorvane_add_tool_test name target script data pass)
  if(WIN32 AND NOT CMAKE_CROSSCOMPILING)
    return()   # the scripts need a POSIX shell
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND bash ${script} ${data} Z:${data}
      ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${target}>)
  else()
    add_test(NAME ${name} COMMAND bash ${script} ${data} ${data} $<TARGET_FILE:${target}>)
  endif()
  # The script's own closing line, so that a script cut short never passes.
  set_tests_properties(${name} PROPERTIES PASS_REGULAR_EXPRESSION "${pass}" TIMEOUT 300)
  dorvane_test_environment(${name})
endfunction()

function(dorvane_test_environment test)
  if(CMAKE_CROSSCOMPILING)
    set_property(TEST ${test} PROPERTY SKIP_REGULAR_EXPRESSION "${DORVANE_WINE_SKIP}")
  endif()
  if(DORVANE_SANITIZE)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      "ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
endfunction()

# A ctest test that fails when a Windows executable imports a MinGW runtime
# DLL (libstdc++-6, libgcc_s_*, libwinpthread-1): the program ships as one
# exe beside nothing but the system's own DLLs.
function(dorvane_check_imports)
  set(files "")
  foreach(target IN LISTS ARGN)
    if(TARGET ${target})
      list(APPEND files $<TARGET_FILE:${target}>)
    endif()
  endforeach()
  if(files)
    add_test(NAME dll_imports
      COMMAND ${PROJECT_SOURCE_DIR}/cmake/check-imports.sh ${CMAKE_OBJDUMP} ${files})
  endif()
endfunction()
