#include "hostsim/library_loader.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace hostsim {

#ifdef _WIN32
namespace {

// Paths are UTF-8 text; Windows is asked in UTF-16, so that any folder can hold the library.
std::wstring widePath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
}

}  // namespace
#endif

bool LoadedLibrary::load(const std::string& path, std::string& error) {
    unload();
#ifdef _WIN32
    handle_ = reinterpret_cast<void*>(LoadLibraryW(widePath(path).c_str()));
    if (handle_ == nullptr)
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) error = dlerror();
#endif
    path_ = path;
    return handle_ != nullptr;
}

bool LoadedLibrary::unload() {
    if (handle_ == nullptr) return true;
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
    handle_ = nullptr;
    return GetModuleHandleW(widePath(path_).c_str()) == nullptr;
#else
    dlclose(handle_);
    handle_ = nullptr;
    void* again = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (again != nullptr) dlclose(again);
    return again == nullptr;
#endif
}

void* LoadedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

std::string defaultLibraryPath() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    const std::u8string wide = std::filesystem::path(std::wstring(buffer, length)).u8string();
    std::string program(wide.begin(), wide.end());
    const char* name = "Vorlix.dll";
#else
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    std::string program(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    const char* name = "libvorlix.so";
#endif
    const std::size_t slash = program.find_last_of("/\\");
    return (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + name;
}

}  // namespace hostsim
