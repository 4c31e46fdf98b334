# A program that stands in for the host needs the host's address range in its own image: the host
# region (hostsim/host_region.cpp) is placed at 0x401000, so that the image's headers take the page
# at the host's base 0x400000 as in the host itself, and the program's own code follows at 0xC01000.
# Targets linking hostsim get these options through its interface.
if(WIN32)
    set(VORLIX_HOST_IMAGE_LINK_OPTIONS
        -Wl,--section-start=.hostimg=0x401000 -Wl,-Ttext=0xC01000 -Wl,--disable-dynamicbase)
else()
    set(VORLIX_HOST_IMAGE_LINK_OPTIONS
        -no-pie -Wl,--section-start=.hostimg=0x401000 -Wl,-Ttext-segment=0xC01000
        -Wl,--no-warn-rwx-segments)
endif()
