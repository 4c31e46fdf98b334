#pragma once
// Loads the library the way the host's plug-in loader does, so that its static initialisers run.

#include <string>

namespace hostsim {

class LoadedLibrary {
  public:
    LoadedLibrary() = default;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() { unload(); }

    // False with a readable reason when the library cannot be loaded.
    bool load(const std::string& path, std::string& error);
    // Unloads and reports whether the library is really gone from the process.
    bool unload();
    bool loaded() const { return handle_ != nullptr; }
    // An exported symbol of the loaded library, or null.
    void* symbol(const char* name) const;

  private:
    void* handle_ = nullptr;
    std::string path_;
};

// The library that sits beside the running program.
std::string defaultLibraryPath();

}  // namespace hostsim
