#include "open_file_probe.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace hostsim {

namespace fs = std::filesystem;

#ifdef _WIN32

// Only a file nobody has open can be opened without sharing.
bool heldOpen(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(handle);
    return false;
}

bool othersMayReadAndWrite(const fs::path& file) {
    const HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

#else

bool heldOpen(const fs::path& file) {
    std::error_code error;
    const fs::path wanted = fs::canonical(file, error);
    if (error) return false;
    for (const fs::directory_entry& descriptor : fs::directory_iterator("/proc/self/fd", error)) {
        std::error_code unreadable;
        if (fs::read_symlink(descriptor.path(), unreadable) == wanted) return true;
    }
    return false;
}

bool othersMayReadAndWrite(const fs::path& file) {
    const int descriptor = open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (descriptor < 0) return false;
    close(descriptor);
    return true;
}

#endif

}  // namespace hostsim
