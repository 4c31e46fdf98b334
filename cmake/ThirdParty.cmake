# GoogleTest. The Linux builds use Debian's 32-bit build of it (libgtest-dev:i386, libgmock-dev:i386);
# MinGW has none, so the Windows build compiles Debian's sources with its own toolchain and flags.
# Both give the same targets: GTest::gtest_main, GTest::gmock.
if(WIN32)
    set(VORLIX_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest package)")
    if(NOT EXISTS ${VORLIX_GOOGLETEST_SOURCES}/CMakeLists.txt)
        message(FATAL_ERROR "GoogleTest's sources are missing from ${VORLIX_GOOGLETEST_SOURCES}: run make setup")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VORLIX_GOOGLETEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest 1.12 CONFIG)
    if(NOT TARGET GTest::gmock)
        message(FATAL_ERROR "GoogleTest for 32-bit Linux is missing (libgtest-dev:i386, libgmock-dev:i386): run make setup")
    endif()
endif()

# Header-only libraries from Debian, one imported target each. The MinGW build must not see
# /usr/include, so each target's include folder holds a link to its own headers and nothing else.
function(vorlix_header_library name header)
    if(NOT EXISTS /usr/include/${header})
        message(FATAL_ERROR "/usr/include/${header} is missing: run make setup")
    endif()
    set(links ${CMAKE_BINARY_DIR}/header-links/${name})
    file(MAKE_DIRECTORY ${links})
    file(CREATE_LINK /usr/include/${header} ${links}/${header} SYMBOLIC)
    add_library(vorlix::${name} INTERFACE IMPORTED)
    set_target_properties(vorlix::${name} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${links}
                                                     INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

vorlix_header_library(cli11 CLI)
vorlix_header_library(boost boost)
