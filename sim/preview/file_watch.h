#pragma once
// Notices when files change, by comparing each file's size and modification time with what they
// were when last looked at: portable, and blind to nothing an editor or exporter does to a file
// (written in place, replaced, removed, made again).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace sim {

class FileWatch {
  public:
    // Watches these files from now on: those watched already as they were when last looked at,
    // so that a change made while they were being read is not missed; others as they are now.
    void watch(std::vector<std::filesystem::path> files);

    // Whether any watched file differs from when last looked at; looks again.
    bool changed();

  private:
    // Size and modification time; none for a file that cannot be seen.
    using Stamp = std::optional<std::pair<std::uintmax_t, std::filesystem::file_time_type>>;
    static Stamp stampOf(const std::filesystem::path& file);

    std::vector<std::pair<std::filesystem::path, Stamp>> files_;
};

}  // namespace sim
