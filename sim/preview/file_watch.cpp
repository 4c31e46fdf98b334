#include "sim/preview/file_watch.h"

#include <algorithm>

namespace sim {

FileWatch::Stamp FileWatch::stampOf(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    return std::pair(size, time);
}

void FileWatch::watch(std::vector<std::filesystem::path> files) {
    std::vector<std::pair<std::filesystem::path, Stamp>> watched;
    for (std::filesystem::path& file : files) {
        const auto known = std::find_if(files_.begin(), files_.end(),
                                        [&file](const auto& entry) { return entry.first == file; });
        Stamp stamp = known != files_.end() ? known->second : stampOf(file);
        watched.emplace_back(std::move(file), stamp);
    }
    files_ = std::move(watched);
}

bool FileWatch::changed() {
    bool any = false;
    for (auto& [file, stamp] : files_) {
        Stamp now = stampOf(file);
        if (now != stamp) {
            stamp = now;
            any = true;
        }
    }
    return any;
}

}  // namespace sim
