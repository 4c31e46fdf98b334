// Reserves the host's address range in this program's own image. The linker places the section at
// 0x401000 (cmake/HostImage.cmake); it holds no bytes in the file and is filled at run time by
// host_image.cpp. Defined in assembly so that no instrumentation pads or moves it. The label is
// referenced by host_image.cpp: without a reference the linker would leave this object out of the
// program, and the range would not be part of the image.
// The section is uninitialised, writable data and not executable: a section marked executable
// would be code, which the PE format gives file data of its full size. host_image.cpp makes the
// host's code pages execute/read only once it has written them, so no page of the range is ever
// writable and executable at once, except while the library patches a site.
#ifdef _WIN32
asm(".section .hostimg,\"bw\"\n\t.globl _hostsimRegion\n_hostsimRegion:\n\t.space "
    "0x7FF000\n\t.text\n");
#else
asm(".section .hostimg,\"aw\",@nobits\n\t.globl hostsimRegion\nhostsimRegion:\n\t.space "
    "0x7FF000\n\t.text\n");
#endif
