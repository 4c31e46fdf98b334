# The library's own code, in one static target per layer, all linked into the shared library: it
# must be position independent, hidden, and unloadable.
function(vorlix_library_code target)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE vorlix_warnings)
    set_target_properties(${target} PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    if(NOT WIN32)
        # Function-local statics of templates must not become unique symbols, or the library
        # could never be unloaded. Only GCC makes them.
        target_compile_options(${target} PUBLIC $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    endif()
endfunction()
