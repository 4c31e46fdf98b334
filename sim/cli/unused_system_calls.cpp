// Two system functions come into vorlix-sim only because static libraries it is built from name
// them: setting the system clock (clock_settime of the threads library) and killing a thread
// (Boost.Asio does that to its own threads when a DLL of it unloads; this is a program). The
// program does neither, and should not ask Windows for either: the import slots those libraries
// call through are filled here instead of from KERNEL32, with functions that refuse, so that the
// program's import table lists neither.
#ifdef _WIN32
#include <windows.h>

extern "C" {

BOOL WINAPI refuseSetSystemTime(const SYSTEMTIME*) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL WINAPI refuseTerminateThread(HANDLE, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

}  // extern "C"

asm(".section .rdata,\"dr\"\n\t.p2align 2\n"
    "\t.globl \"__imp__SetSystemTime@4\"\n\"__imp__SetSystemTime@4\":\n"
    "\t.long \"_refuseSetSystemTime@4\"\n"
    "\t.globl \"__imp__TerminateThread@8\"\n\"__imp__TerminateThread@8\":\n"
    "\t.long \"_refuseTerminateThread@8\"\n"
    "\t.text\n");
#endif
