enable_testing()
include(GoogleTest)

if(WIN32)
    # One wineserver for the whole run, in a prefix of the build's own: started by a fixture before
    # the first Windows test and stopped after the last.
    set(VORLIX_WINE_ENVIRONMENT
        WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=)
    add_test(NAME wine_server_start COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/wine-server.sh start)
    add_test(NAME wine_server_stop COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/wine-server.sh stop)
    set_tests_properties(wine_server_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${VORLIX_WINE_ENVIRONMENT}")
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${VORLIX_WINE_ENVIRONMENT}")
endif()

# Marks tests that run a Windows program, so that they run under the shared wineserver.
function(vorlix_windows_test_properties)
    if(WIN32 AND ARGN)
        set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${VORLIX_WINE_ENVIRONMENT}")
    endif()
endfunction()

# A GoogleTest program; its tests are found by scanning the sources, never by running the program
# at build time (slow under Wine).
function(vorlix_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gtest_main gmock vorlix_warnings)
    gtest_add_tests(TARGET ${name} SOURCES ${ARG_SOURCES} TEST_LIST registered)
    vorlix_windows_test_properties(${registered})
endfunction()
