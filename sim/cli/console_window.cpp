#include "sim/cli/console_window.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
// windows.h first: conio.h needs its types.
#include <conio.h>
#endif

namespace sim::cli {

#ifdef _WIN32

namespace {

UINT codePageBefore = 0;

void restoreCodePage() { SetConsoleOutputCP(codePageBefore); }

}  // namespace

void showUtf8OnConsole() {
    // The prompt keeps its code page after the program ends: give it back.
    codePageBefore = GetConsoleOutputCP();
    if (codePageBefore == 0 || codePageBefore == CP_UTF8) return;  // no console, or already
    if (SetConsoleOutputCP(CP_UTF8)) std::atexit(restoreCodePage);
}

bool consoleWindowIsOurOwn() {
    // A program that runs vorlix-sim for its output (the Blender add-on, with no window at all)
    // reads that output through pipes: only a console that shows the output is waited on.
    const auto onConsole = [](DWORD stream) {
        return GetFileType(GetStdHandle(stream)) == FILE_TYPE_CHAR;
    };
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1 && onConsole(STD_INPUT_HANDLE) &&
           onConsole(STD_OUTPUT_HANDLE) && onConsole(STD_ERROR_HANDLE);
}

void waitForKeyPress() {
    std::fputs("\nPress any key to close this window.\n", stdout);
    std::fflush(stdout);
    _getch();
}

#else

void showUtf8OnConsole() {}

bool consoleWindowIsOurOwn() { return false; }

void waitForKeyPress() {}

#endif

}  // namespace sim::cli
