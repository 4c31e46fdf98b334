enable_testing()
include(GoogleTest)

if(WIN32)
    # One wineserver for the whole run, in a prefix of the build's own: started by a fixture before
    # the first Windows test and stopped after the last. Test programs run through the same script.
    set(VORLIX_WINE sh ${PROJECT_SOURCE_DIR}/scripts/wine.sh ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VORLIX_WINE} run)
    add_test(NAME wine_server_start COMMAND ${VORLIX_WINE} start)
    add_test(NAME wine_server_stop COMMAND ${VORLIX_WINE} stop)
    set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)
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
# at build time (slow under Wine). Tests sharing a RESOURCE_LOCK never run at the same time.
function(vorlix_add_gtest name)
    cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gtest_main gmock vorlix_warnings)
    gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_LIST registered)
    vorlix_windows_test_properties(${registered})
    if(ARG_RESOURCE_LOCK)
        set_tests_properties(${registered} PROPERTIES RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
    endif()
endfunction()
