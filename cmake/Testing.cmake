enable_testing()
include(GoogleTest)

# Every test has a time limit, so that a hang fails under the test's own name instead of holding up
# the run. Limits are stated for a native run and stretched where programs run slower: under Wine,
# under the sanitizers, and where 32-bit code is emulated (scripts/enable-32bit.sh).
set(VORLIX_TEST_TIME_SCALE 1)
if(WIN32)
    math(EXPR VORLIX_TEST_TIME_SCALE "${VORLIX_TEST_TIME_SCALE} * 2")
endif()
if(VORLIX_SANITIZE)
    math(EXPR VORLIX_TEST_TIME_SCALE "${VORLIX_TEST_TIME_SCALE} * 2")
endif()
if(EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
    math(EXPR VORLIX_TEST_TIME_SCALE "${VORLIX_TEST_TIME_SCALE} * 4")
endif()

# The limit of a test that sets none of its own. CTest reads it from this file in the build folder,
# so it holds for a plain `ctest` as much as for `make test`.
file(WRITE "${CMAKE_BINARY_DIR}/DartConfiguration.tcl" "TimeOut: 600\n")

# Sets the time limit of the tests named after the seconds, scaled as above.
function(vorlix_test_timeout seconds)
    math(EXPR limit "${seconds} * ${VORLIX_TEST_TIME_SCALE}")
    if(ARGN)
        set_tests_properties(${ARGN} PROPERTIES TIMEOUT ${limit})
    endif()
endfunction()

if(WIN32)
    # One wineserver for the whole run, in a prefix of the build's own: started by a fixture before
    # the first Windows test and stopped after the last. Test programs run through the same script,
    # which keeps the test runner's streams away from Wine's helper processes (see scripts/wine.sh).
    set(VORLIX_WINE sh ${PROJECT_SOURCE_DIR}/scripts/wine.sh ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VORLIX_WINE} run)
    add_test(NAME wine_server_start COMMAND ${VORLIX_WINE} start)
    add_test(NAME wine_server_stop COMMAND ${VORLIX_WINE} stop)
    # Creating a new prefix takes a minute or more, and a boot that hangs is tried again up to
    # three times, each step with a limit of its own; stopping the server takes a moment.
    set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 1500)
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)
    vorlix_test_timeout(30 wine_server_stop)
endif()

# Under qemu's user-mode emulator the leak checker's helper thread cannot start, and a sanitized
# program would hang at exit (see scripts/enable-32bit.sh).
set(VORLIX_TEST_ENVIRONMENT "")
if(VORLIX_SANITIZE AND EXISTS /proc/sys/fs/binfmt_misc/qemu-i386)
    list(APPEND VORLIX_TEST_ENVIRONMENT ASAN_OPTIONS=detect_leaks=0)
endif()

# Gives tests what their platform needs: the shared wineserver for Windows programs, the
# sanitizer options under emulation.
function(vorlix_windows_test_properties)
    if(WIN32 AND ARGN)
        set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine)
    endif()
    if(VORLIX_TEST_ENVIRONMENT AND ARGN)
        set_tests_properties(${ARGN} PROPERTIES ENVIRONMENT "${VORLIX_TEST_ENVIRONMENT}")
    endif()
endfunction()

# A GoogleTest program; its tests are found by scanning the sources, never by running the program
# at build time (slow under Wine). Tests sharing a RESOURCE_LOCK never run at the same time. Each
# test has TIMEOUT seconds (default 30; every test of ours takes well under a second natively).
function(vorlix_add_gtest name)
    cmake_parse_arguments(ARG "" "RESOURCE_LOCK;TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main GTest::gmock vorlix_warnings)
    gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_LIST registered)
    vorlix_windows_test_properties(${registered})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 30)
    endif()
    vorlix_test_timeout(${ARG_TIMEOUT} ${registered})
    if(ARG_RESOURCE_LOCK)
        set_tests_properties(${registered} PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
    endif()
endfunction()
