# A program that stands in for the host needs the host's address range in its own image: the host
# region (hostsim/host_region.cpp) is placed one page above the image's base, so that the image's
# headers take the page at the base as in the host itself, and the program's own code follows the
# region. Normally the base is the host's preferred one, 0x400000 (target hostsim); a program
# placed elsewhere shows whether the library translates what it must.
function(vorlix_place_host_image target scope base)
    math(EXPR region "${base} + 0x1000" OUTPUT_FORMAT HEXADECIMAL)
    math(EXPR code "${base} + 0x801000" OUTPUT_FORMAT HEXADECIMAL)
    if(WIN32)
        target_link_options(${target} ${scope} -Wl,--image-base=${base}
            -Wl,--section-start=.hostimg=${region} -Wl,-Ttext=${code} -Wl,--disable-dynamicbase)
    else()
        target_link_options(${target} ${scope} -no-pie -Wl,--section-start=.hostimg=${region}
            -Wl,-Ttext-segment=${code})
    endif()
endfunction()
