#include "sim/game/pe_image.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim::game {

namespace {

constexpr std::uint16_t optionalHeaderPe32 = 0x10B;
constexpr std::uint16_t optionalHeaderPe32Plus = 0x20B;
constexpr std::uint16_t machineX86 = 0x14C;
constexpr std::uint32_t sectionHeaderSize = 40;
constexpr std::uint32_t sectionExecutable = 0x20000000;
constexpr std::uint32_t sectionCode = 0x20;
constexpr std::uint16_t fileIsLibrary = 0x2000;

// What a player can do about a file that ends too early: a download or a copy that broke off.
const std::string damaged =
    ": the file looks damaged or incomplete. Repair or reinstall the game, then check again";
const std::string giveTheProgram =
    "give the game's main program file (.exe), which is in the game's folder";

bool isVorlixItself(const std::string& fileName) {
    std::string name = fileName.substr(fileName.find_last_of("/\\") + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "vorlix.dll";
}

class Reader {
  public:
    Reader(std::string_view bytes, const std::string& fileName) : bytes_(bytes), file_(fileName) {}

    bool has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }

    template <typename T>
    T read(std::uint64_t offset, const char* what) const {
        if (!has(offset, sizeof(T)))
            fail("truncated: the file ends inside " + std::string(what) + damaged);
        T value;
        std::memcpy(&value, bytes_.data() + offset, sizeof(T));
        return value;
    }

    [[noreturn]] void fail(const std::string& problem) const {
        throw PeError(file_ + ": " + problem);
    }

  private:
    std::string_view bytes_;
    const std::string& file_;
};

}  // namespace

PeImage::PeImage(std::string_view bytes, const std::string& fileName) : bytes_(bytes) {
    const Reader reader(bytes, fileName);
    if (bytes.size() < 2 || bytes.substr(0, 2) != "MZ")
        reader.fail("not a Windows executable (no \"MZ\" at its start): " + giveTheProgram);
    const std::uint32_t peOffset = reader.read<std::uint32_t>(0x3C, "the DOS header");
    if (!reader.has(peOffset, 4))
        reader.fail("truncated: the file ends before its PE header" + damaged);
    if (bytes.substr(peOffset, 4) != std::string_view("PE\0\0", 4))
        reader.fail("not a PE file (no \"PE\" signature where its header says)");

    const std::uint64_t coff = std::uint64_t{peOffset} + 4;
    const auto machine = reader.read<std::uint16_t>(coff, "the PE header");
    const auto sectionCount = reader.read<std::uint16_t>(coff + 2, "the PE header");
    const auto optionalSize = reader.read<std::uint16_t>(coff + 16, "the PE header");
    const auto fileFlags = reader.read<std::uint16_t>(coff + 18, "the PE header");
    const std::uint64_t optional = coff + 20;
    const auto magic = reader.read<std::uint16_t>(optional, "the optional header");
    if (magic == optionalHeaderPe32Plus)
        reader.fail(
            "a 64-bit program (PE32+). Vorlix works only with the 32-bit version of the game: "
            "install that version and check its main program file (.exe)");
    if (magic != optionalHeaderPe32 || machine != machineX86)
        reader.fail("not a 32-bit x86 program: " + giveTheProgram);
    if ((fileFlags & fileIsLibrary) != 0) {
        reader.fail(isVorlixItself(fileName)
                        ? "this is Vorlix itself, not the game: " + giveTheProgram
                        : "a library (.dll), not a program: " + giveTheProgram);
    }

    const std::uint64_t table = optional + optionalSize;
    if (!reader.has(table, std::uint64_t{sectionCount} * sectionHeaderSize))
        reader.fail("truncated: the file ends inside its section table" + damaged);
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = table + std::uint64_t{i} * sectionHeaderSize;
        PeSection section;
        const std::string_view name = bytes.substr(at, 8);
        section.name = std::string(name.substr(0, std::min(name.find('\0'), name.size())));
        section.virtualSize = reader.read<std::uint32_t>(at + 8, "its section table");
        section.virtualAddress = reader.read<std::uint32_t>(at + 12, "its section table");
        section.rawSize = reader.read<std::uint32_t>(at + 16, "its section table");
        section.rawOffset = reader.read<std::uint32_t>(at + 20, "its section table");
        const auto characteristics = reader.read<std::uint32_t>(at + 36, "its section table");
        section.executable = (characteristics & (sectionExecutable | sectionCode)) != 0;
        if (!reader.has(section.rawOffset, section.rawSize)) {
            reader.fail("section " + std::to_string(i + 1) + " (\"" + section.name +
                        "\") lies past the end of the file" + damaged);
        }
        sections_.push_back(std::move(section));
    }
}

const PeSection* PeImage::sectionAt(std::uint32_t rva) const {
    for (const PeSection& section : sections_) {
        const std::uint32_t size = section.virtualSize != 0 ? section.virtualSize : section.rawSize;
        if (rva >= section.virtualAddress && rva - section.virtualAddress < size) return &section;
    }
    return nullptr;
}

std::optional<std::string_view> PeImage::bytesAt(std::uint32_t rva, std::uint32_t size) const {
    const PeSection* section = sectionAt(rva);
    if (section == nullptr) return std::nullopt;
    // Memory past the section's data on disk is filled with zeros by the loader, and memory past
    // its virtual size belongs to no section.
    const std::uint64_t offset = std::uint64_t{rva} - section->virtualAddress;
    const std::uint32_t mapped = section->virtualSize != 0
                                     ? std::min(section->virtualSize, section->rawSize)
                                     : section->rawSize;
    if (offset + size > mapped) return std::nullopt;
    return bytes_.substr(section->rawOffset + offset, size);
}

}  // namespace sim::game
