# Single-precision steps must stay single precision on both toolchains: no x87 excess precision,
# no fused multiply-adds. These apply to every target, third-party ones included.
add_compile_options(-msse2 -mfpmath=sse -ffp-contract=off)

if(VORLIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Coverage feedback for the fuzzer in all code; only the fuzz targets link its driver (fuzz/).
if(VORLIX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Warnings as errors for the project's own code.
add_library(vorlix_warnings INTERFACE)
target_compile_options(vorlix_warnings INTERFACE -Wall -Wextra -Werror)

# The shipped Windows binaries are the same bytes whoever builds them, wherever: no link time in the
# PE headers, and no build folder in debug information or in __FILE__.
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
endif()
