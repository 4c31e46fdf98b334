#include "hostsim/library_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace hostsim {

bool LoadedLibrary::load(const std::string& path, std::string& error) {
    unload();
#ifdef _WIN32
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
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
    return GetModuleHandleA(path_.c_str()) == nullptr;
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
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string program(buffer, length);
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
