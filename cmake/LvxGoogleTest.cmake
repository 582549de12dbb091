# GoogleTest from Debian's sources (package googletest), built with this build's compiler, so the
# Windows build gets a Windows GoogleTest.
set(LVX_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${LVX_GOOGLETEST_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found at ${LVX_GOOGLETEST_DIR}; run scripts/setup.sh")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${LVX_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# lvx_add_test(NAME SOURCES... [LIBRARIES ...] [LABELS ...] [TIMEOUT n] [SERIAL])
# A GoogleTest program whose cases are registered with CTest one by one. Discovery runs before the
# tests (not at build time), so building needs neither Wine nor a display. SERIAL: the program is
# one CTest test, its cases run in that one process, with no other test beside it (they need the
# display's activation, which a window of another test, or of the previous case's program while
# Wine closes it, takes away).
function(lvx_add_test name)
  cmake_parse_arguments(ARG "SERIAL" "TIMEOUT" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  lvx_warnings(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_LIBRARIES})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  if(ARG_SERIAL)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}"
                         RUN_SERIAL TRUE)
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()
