// The patching primitives on code bytes in pages of their own, made execute/read only as host code
// is, so that every write has to lift the protection.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "host/patching/patching.h"
#include "host/platform/platform.h"
#include "hostsim/memory_protection.h"

namespace {

using injector::address_t;

constexpr std::size_t pageSize = 4096;
alignas(pageSize) unsigned char codePages[2 * pageSize];

// An indirect branch's memory cell and the destination it holds.
constexpr std::uint32_t cellDestination = 0x12345678;
std::uint32_t cell = cellDestination;

address_t cellAddress() { return reinterpret_cast<address_t>(&cell); }

std::vector<std::uint8_t> withWord(std::vector<std::uint8_t> bytes, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
    return bytes;
}

class CodePage : public ::testing::Test {
  protected:
    // A site in the middle of the first page.
    address_t site() const { return reinterpret_cast<address_t>(codePages) + 0x100; }

    void SetUp() override { setCode({0x90, 0x90, 0x90, 0x90, 0x90}); }
    void TearDown() override { protect(hostsim::Protection::readWrite); }

    void setCode(const std::vector<std::uint8_t>& bytes) {
        protect(hostsim::Protection::readWrite);
        std::memset(codePages, 0xCC, sizeof codePages);
        std::memcpy(reinterpret_cast<void*>(site()), bytes.data(), bytes.size());
        protect(hostsim::Protection::executeRead);
    }

    std::array<std::uint8_t, 5> siteBytes() const {
        std::array<std::uint8_t, 5> bytes;
        std::memcpy(bytes.data(), reinterpret_cast<const void*>(site()), 5);
        return bytes;
    }

    platform::Protection protection() const {
        platform::Protection value = 0;
        EXPECT_TRUE(platform::queryProtection(site(), value));
        return value;
    }

  private:
    static void protect(hostsim::Protection protection) {
        const auto start = static_cast<std::uint32_t>(reinterpret_cast<address_t>(codePages));
        hostsim::protectPages(start, start + sizeof codePages, protection);
    }
};

TEST_F(CodePage, BranchTargetDecodesTheFourFormsAndRejectsOthers) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool relative;  // expected is an offset from the site, else an absolute address
        std::uint32_t expected;
    } cases[] = {
        {"call to the next instruction", {0xE8, 0x00, 0x00, 0x00, 0x00}, true, 5},
        {"jump to itself", {0xE9, 0xFB, 0xFF, 0xFF, 0xFF}, true, 0},
        {"call far back", withWord({0xE8}, 0xFFFF0000u), true, 5u - 0x10000u},
        {"indirect call", withWord({0xFF, 0x15}, static_cast<std::uint32_t>(cellAddress())), false,
         cellDestination},
        {"indirect jump", withWord({0xFF, 0x25}, static_cast<std::uint32_t>(cellAddress())), false,
         cellDestination},
        {"push through the cell", withWord({0xFF, 0x35}, static_cast<std::uint32_t>(cellAddress())),
         false, 0},
        {"FF without a branch", {0xFF, 0xC0, 0x90, 0x90, 0x90}, false, 0},
        {"nop", {0x90, 0x90, 0x90, 0x90, 0x90}, false, 0},
        {"indirect call through an unmapped cell", withWord({0xFF, 0x15}, 0x1000), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setCode(c.bytes);
        const platform::Protection before = protection();
        const address_t expected =
            c.relative ? static_cast<address_t>(site() + c.expected) : c.expected;
        EXPECT_EQ(injector::branch_target(site(), true), expected);
        EXPECT_EQ(protection(), before);
    }
}

TEST_F(CodePage, PatchWritesTheBranchReturnsThePreviousTargetAndRestoresByteForByte) {
    const address_t destination = 0x00ABCDEF;
    const struct {
        const char* what;
        bool jump;
        std::vector<std::uint8_t> original;
        bool previousKnown;
        std::uint32_t previousOffset;
    } cases[] = {
        {"call over a call", false, withWord({0xE8}, 0x1234), true, 5 + 0x1234},
        {"jump over a jump", true, withWord({0xE9}, 0xFFFFFF00u), true, 5u - 0x100u},
        {"call over a jump", false, withWord({0xE9}, 0), true, 5},
        {"call over anything else", false, {0x55, 0x8B, 0xEC, 0x53, 0x56}, false, 0},
        {"jump over an indirect call", true,
         withWord({0xFF, 0x15}, static_cast<std::uint32_t>(cellAddress())), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setCode(c.original);
        const auto original = siteBytes();
        const platform::Protection before = protection();
        const address_t expectedPrevious = c.previousKnown         ? site() + c.previousOffset
                                           : c.original[0] == 0xFF ? cellDestination
                                                                   : 0;
        {
            injector::scoped_call call;
            injector::scoped_jmp jump;
            injector::scoped_basic<5>& scope =
                c.jump ? static_cast<injector::scoped_basic<5>&>(jump) : call;
            const address_t previous = c.jump ? jump.patch_jump(site(), destination, true)
                                              : call.patch_call(site(), destination, true);
            EXPECT_EQ(previous, expectedPrevious);
            EXPECT_TRUE(scope.holds_saved());

            const auto patched = siteBytes();
            EXPECT_EQ(patched[0], c.jump ? 0xE9 : 0xE8);
            std::uint32_t displacement;
            std::memcpy(&displacement, &patched[1], 4);
            EXPECT_EQ(displacement, destination - (site() + 5));
            EXPECT_EQ(injector::branch_target(site(), true), destination);
            EXPECT_EQ(protection(), before);

            scope.restore();
            EXPECT_EQ(siteBytes(), original);
            EXPECT_FALSE(scope.holds_saved());
            EXPECT_EQ(protection(), before);

            // Holding nothing now: a second restore, and the destructor, leave new bytes alone.
            setCode({0xC3, 0xC3, 0xC3, 0xC3, 0xC3});
            scope.restore();
            EXPECT_EQ(siteBytes()[0], 0xC3);
        }
        EXPECT_EQ(siteBytes()[4], 0xC3);
    }
}

TEST_F(CodePage, DestroyingAPatchPutsTheBytesBack) {
    setCode(withWord({0xE8}, 0x40));
    const auto original = siteBytes();
    {
        injector::scoped_jmp jump;
        jump.patch_jump(site(), 0x1000, true);
        EXPECT_NE(siteBytes(), original);
    }
    EXPECT_EQ(siteBytes(), original);
}

TEST_F(CodePage, PatchAcrossAPageBoundaryLiftsBothPages) {
    const address_t straddling = reinterpret_cast<address_t>(codePages) + pageSize - 2;
    injector::scoped_call call;
    call.patch_call(straddling, 0x2000, true);
    ASSERT_TRUE(call.holds_saved());
    EXPECT_EQ(injector::branch_target(straddling, true), 0x2000u);
    call.restore();
    EXPECT_EQ(injector::read_u8(straddling, true), 0xCC);
    EXPECT_EQ(injector::read_u32(straddling + 1, true), 0xCCCCCCCCu);
}

// Where the protection cannot be lifted, nothing is read or written: the process would fault.
TEST(Unprotect, AFailedProtectionChangeMakesNoAccess) {
    const address_t unmapped = 0x1000;
    ASSERT_FALSE(platform::isReadable(unmapped, 1));
    platform::Protection old = 0;
    EXPECT_FALSE(platform::changeProtection(unmapped, 5, platform::executeReadWrite(), old));

    std::uint8_t byte = 0x5A;
    std::uint32_t word = 0x5A5A5A5A;
    EXPECT_FALSE(injector::try_read_u8(unmapped, true, byte));
    EXPECT_FALSE(injector::try_read_u32(unmapped, true, word));
    EXPECT_EQ(byte, 0x5A);
    EXPECT_EQ(word, 0x5A5A5A5Au);
    EXPECT_EQ(injector::read_u32(unmapped, true), 0u);
    EXPECT_FALSE(injector::write_u8(unmapped, 0xE8, true));
    EXPECT_FALSE(injector::write_displacement(unmapped + 1, 0x2000, true));
    EXPECT_EQ(injector::branch_target(unmapped, true), 0u);

    injector::scoped_call call;
    EXPECT_EQ(call.patch_call(unmapped, 0x2000, true), 0u);
    EXPECT_FALSE(call.holds_saved());
    call.restore();
}

TEST(Platform, ReadabilityFollowsTheMappings) {
    const std::uint32_t local = 7;
    EXPECT_TRUE(platform::isReadable(reinterpret_cast<address_t>(&local), sizeof local));
    EXPECT_TRUE(platform::isReadable(reinterpret_cast<address_t>(codePages), sizeof codePages));
    EXPECT_FALSE(platform::isReadable(0x1000, 4));
    // A range that wraps past the top of the address space is never readable.
    EXPECT_FALSE(platform::isReadable(0xFFFFFFFEu, 4));
}

}  // namespace
