// Reserves the host's address range in this program's own image. The linker places the section at
// 0x401000 (cmake/HostImage.cmake); it holds no bytes in the file and is filled at run time by
// host_image.cpp. Defined in assembly so that no instrumentation pads or moves it.
#ifdef _WIN32
asm(".section .hostimg,\"bwx\"\n\t.space 0x7FF000\n\t.text\n");
#else
asm(".section .hostimg,\"awx\",@nobits\n\t.space 0x7FF000\n\t.text\n");
#endif
