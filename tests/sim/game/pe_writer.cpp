#include "pe_writer.h"

#include <cstring>
#include <stdexcept>

namespace sim::test {

namespace {

template <typename T>
void put(std::string& file, std::size_t at, T value) {
    if (file.size() < at + sizeof value) file.resize(at + sizeof value);
    std::memcpy(file.data() + at, &value, sizeof value);
}

constexpr std::uint32_t imageBase = 0x400000;
constexpr std::uint32_t peOffset = 0x40;
constexpr std::uint16_t optionalSize = 0xE0;

}  // namespace

std::string peFile(const TestExecutable& executable) {
    std::string file = "MZ";
    put<std::uint32_t>(file, 0x3C, peOffset);
    file.replace(peOffset, 4, std::string("PE\0\0", 4));
    const std::size_t coff = peOffset + 4;
    put<std::uint16_t>(file, coff, executable.machine);
    put<std::uint16_t>(file, coff + 2, static_cast<std::uint16_t>(executable.sections.size()));
    put<std::uint16_t>(file, coff + 16, optionalSize);
    put<std::uint16_t>(file, coff + 18, executable.library ? 0x2102 : 0x0102);
    const std::size_t optional = coff + 20;
    put<std::uint16_t>(file, optional, executable.optionalMagic);
    put<std::uint32_t>(file, optional + 28, imageBase);
    const std::size_t table = optional + optionalSize;
    std::size_t raw = table + 40 * executable.sections.size();
    file.resize(raw);
    for (std::size_t i = 0; i < executable.sections.size(); ++i) {
        const TestSection& section = executable.sections[i];
        const std::size_t at = table + 40 * i;
        file.replace(at, 5, section.code ? ".text" : ".data");
        const auto size = static_cast<std::uint32_t>(section.data.size());
        put<std::uint32_t>(file, at + 8, section.virtualSize != 0 ? section.virtualSize : size);
        put<std::uint32_t>(file, at + 12, section.address - imageBase);
        put<std::uint32_t>(file, at + 16, size);
        put<std::uint32_t>(file, at + 20, static_cast<std::uint32_t>(raw));
        put<std::uint32_t>(file, at + 36, section.code ? 0x60000020u : 0xC0000040u);
        file += section.data;
        raw += size;
    }
    return file;
}

TestExecutable gameOfBuild(std::int32_t version) {
    const struct {
        std::int32_t version;
        std::uint32_t address;
        const char* bytes;
    } signatures[] = {
        {1001, 0x401000, "\x55\x8B\xEC\x53"},
        {1002, 0x401000, "\xE9\x7B\x19\x16"},
        {1011, 0x8245BC, "\xBF\x94\x00\x00"},
        {3210, 0x858C61, "\x33\xF6\x39\x35"},
    };
    TestExecutable executable;
    // The first code page, where the first signatures lie; other builds' code begins otherwise.
    executable.sections.push_back({0x401000, std::string(0x1000, '\xCC')});
    for (const auto& signature : signatures) {
        if (signature.version != version) continue;
        if (signature.address != 0x401000) {
            executable.sections.push_back({signature.address & ~0xFFFu, std::string(0x1000, '\0')});
        }
        std::size_t offset = 0;
        bytesAt(executable, signature.address, offset).replace(offset, 4, signature.bytes, 4);
    }
    if (version != 1001 && version != 1002) return executable;

    // Each site's page, with the site calling (or jumping) to the start of its page.
    const struct {
        std::uint32_t address;
        char opcode;
    } sites[] = {{0x5BF85B, '\xE8'},
                 {0x6C4523, '\xE8'},
                 {0x6D0E89, '\xE9'},
                 {0x6D5F2F, '\xE8'},
                 {0x6E2D35, '\xE8'}};
    for (const auto& site : sites) {
        const std::uint32_t page = site.address & ~0xFFFu;
        std::string data(0x1000, '\x90');
        data[site.address - page] = site.opcode;
        put<std::uint32_t>(data, site.address - page + 1, page - (site.address + 5));
        executable.sections.push_back({page, data});
    }
    return executable;
}

std::string& bytesAt(TestExecutable& executable, std::uint32_t address, std::size_t& offset) {
    for (TestSection& section : executable.sections) {
        if (address >= section.address && address - section.address < section.data.size()) {
            offset = address - section.address;
            return section.data;
        }
    }
    throw std::logic_error("no test section holds the address");
}

}  // namespace sim::test
