# The library's own code, in one static target per layer, all linked into the shared library: it
# must be position independent, hidden, and unloadable.
function(vorlix_library_code target)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE vorlix_warnings)
    set_target_properties(${target} PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    # Failures are returned, never thrown: the shipped library carries no unwinder. Its
    # function-local statics are all first reached while the host loads it, on the loader's
    # thread, so they need no runtime guard (whose error path would throw).
    target_compile_options(${target} PRIVATE -fno-exceptions -fno-threadsafe-statics)
    if(WIN32)
        # Shipped to players: small before fast. Nothing in the library unwinds, so it needs no
        # unwind tables either.
        target_compile_options(${target} PRIVATE -Os -fno-asynchronous-unwind-tables)
    endif()
    if(NOT WIN32)
        # Function-local statics of templates must not become unique symbols, or the library
        # could never be unloaded. Only GCC makes them.
        target_compile_options(${target} PUBLIC $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    endif()
endfunction()
