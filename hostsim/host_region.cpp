// Reserves the host's address range in this program's own image. The linker places the section at
// 0x401000 (cmake/HostImage.cmake); it holds no bytes in the file and is filled at run time by
// host_image.cpp. Defined in assembly so that no instrumentation pads or moves it. The label is
// referenced by host_image.cpp: without a reference the linker would leave this object out of the
// program, and the range would not be part of the image.
#ifdef _WIN32
asm(".section .hostimg,\"bwx\"\n\t.globl _hostsimRegion\n_hostsimRegion:\n\t.space "
    "0x7FF000\n\t.text\n");
#else
asm(".section .hostimg,\"awx\",@nobits\n\t.globl hostsimRegion\nhostsimRegion:\n\t.space "
    "0x7FF000\n\t.text\n");
#endif
