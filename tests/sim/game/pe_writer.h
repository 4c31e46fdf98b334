#pragma once
// Minimal 32-bit Windows executables for the tests: headers, a section table, and each section's
// data placed at its address.

#include <cstdint>
#include <string>
#include <vector>

namespace sim::test {

struct TestSection {
    std::uint32_t address;          // in the image loaded at 0x400000
    std::string data;               // the bytes on disk; the section may be larger in memory
    std::uint32_t virtualSize = 0;  // 0: the size of data
    bool code = true;
};

struct TestExecutable {
    std::vector<TestSection> sections;
    std::uint16_t optionalMagic = 0x10B;  // 0x20B: a 64-bit program
    std::uint16_t machine = 0x14C;
    bool library = false;  // a DLL
};

std::string peFile(const TestExecutable& executable);

// An executable of build 1001 or 1002 with the five call sites as the build has them, or, for any
// other version id, of the build with that signature (0: none).
TestExecutable gameOfBuild(std::int32_t version);

// The section of executable that holds address, and the offset of address in its data.
std::string& bytesAt(TestExecutable& executable, std::uint32_t address, std::size_t& offset);

}  // namespace sim::test
