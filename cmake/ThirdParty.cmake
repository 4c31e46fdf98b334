# GoogleTest from Debian's sources, built with the project's own toolchain and flags.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Header-only libraries from Debian. The MinGW build must not see /usr/include, so both builds
# reach them through a folder that holds links to just these headers.
set(VORLIX_HEADER_LINKS ${CMAKE_BINARY_DIR}/header-links)
file(MAKE_DIRECTORY ${VORLIX_HEADER_LINKS})
foreach(header nlohmann CLI boost)
    if(NOT EXISTS /usr/include/${header})
        message(FATAL_ERROR "/usr/include/${header} is missing: run scripts/setup.sh")
    endif()
    file(CREATE_LINK /usr/include/${header} ${VORLIX_HEADER_LINKS}/${header} SYMBOLIC)
endforeach()
add_library(vorlix_header_libs INTERFACE)
target_include_directories(vorlix_header_libs SYSTEM INTERFACE ${VORLIX_HEADER_LINKS})
