#pragma once
// The section table of a 32-bit Windows executable, read from the file's bytes, and the file's
// bytes at an address of the loaded image. Every field read is checked against the file's size.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/formats/bad_input.h"

namespace sim::game {

// A file that is not a readable 32-bit executable; the message names the file.
struct PeError : BadInput {
    using BadInput::BadInput;
};

struct PeSection {
    std::string name;
    std::uint32_t virtualAddress;  // relative to the image's base
    std::uint32_t virtualSize;
    std::uint32_t rawOffset;
    std::uint32_t rawSize;
    bool executable;
};

class PeImage {
  public:
    // Reads the headers and section table of bytes, which must outlive the image.
    PeImage(std::string_view bytes, const std::string& fileName);

    // The file's bytes that the loader puts at [rva, rva + size), if a section's data on disk holds
    // all of them.
    std::optional<std::string_view> bytesAt(std::uint32_t rva, std::uint32_t size) const;
    // The section whose memory holds rva, if any.
    const PeSection* sectionAt(std::uint32_t rva) const;

    const std::vector<PeSection>& sections() const { return sections_; }

  private:
    std::string_view bytes_;
    std::vector<PeSection> sections_;
};

}  // namespace sim::game
