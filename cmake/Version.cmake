# The project's version for the C++ side and for the DLL's version resource: a generated header,
# so that nothing else has to repeat the number.
set(VORLIX_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorlix_version.h.in ${VORLIX_GENERATED_INCLUDE}/vorlix_version.h @ONLY)
add_library(vorlix_version INTERFACE)
target_include_directories(vorlix_version INTERFACE ${VORLIX_GENERATED_INCLUDE})
