#pragma once
// vorlix-sim carries every path as UTF-8 text, from the command line to its messages. These turn
// that text into the platform's own path and back: on Windows a path is UTF-16, and a narrow
// path would go through the ANSI code page, which cannot name every folder a player may have.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace sim {

inline std::filesystem::path utf8Path(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8Text(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// std::fopen with a UTF-8 path; the mode is plain ASCII.
inline std::FILE* openUtf8File(const std::string& path, const char* mode) {
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(utf8Path(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace sim
