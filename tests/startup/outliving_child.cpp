// Starts a copy of itself that inherits its standard streams and lives on long after it, as Wine's
// helper processes may outlive the test that started them, then ends at once. The test passes
// only if the test runner is not left waiting for the copy to let go of its streams.

#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char**) {
    if (argc > 1) {
        Sleep(10 * 60 * 1000);
        return 0;
    }
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = std::string("\"") + program + "\" linger";

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    const DWORD streams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE* inherited[] = {&startup.hStdInput, &startup.hStdOutput, &startup.hStdError};
    for (int i = 0; i < 3; ++i) {
        *inherited[i] = GetStdHandle(streams[i]);
        SetHandleInformation(*inherited[i], HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the copy (error %lu)\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::puts("started a process that outlives this one");
    return 0;
}
