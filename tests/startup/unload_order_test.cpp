// The order in which unloading hands the host back: the two render sites first, then every
// vehicle's record is released, then the pool, construction and destruction sites. The host sees a
// record go back through the allocator, which this program replaces: it notes which sites were
// still patched whenever a record is released. (The Windows library carries an allocator of its
// own.)

#include <cstdlib>
#include <new>

#include "hostsim/site_calls.h"
#include "library_fixture.h"

namespace {

// Filled without allocating: the allocator must not call itself.
struct AllocatorWatch {
    static constexpr int capacity = 16;
    bool collecting = false;  // every allocation is a new record
    bool watching = false;    // releases of those records are noted
    void* records[capacity] = {};
    int recordCount = 0;
    std::uint32_t patchedAtRelease[capacity] = {};  // bit i: allSites[i] held the library's bytes
    int releases = 0;
};
AllocatorWatch watch;

std::uint32_t patchedSiteBits() {
    std::uint32_t bits = 0;
    for (int i = 0; i < 5; ++i) {
        const std::uint32_t site = hostsim::allSites[i];
        if (hostsim::currentSiteBytes(site) != hostsim::originalSiteBytes(site)) bits |= 1u << i;
    }
    return bits;
}

void* allocate(std::size_t size) noexcept {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) return nullptr;
    if (watch.collecting && watch.recordCount < AllocatorWatch::capacity)
        watch.records[watch.recordCount++] = block;
    return block;
}

void release(void* block) {
    if (watch.watching && watch.releases < AllocatorWatch::capacity) {
        for (int i = 0; i < watch.recordCount; ++i) {
            if (watch.records[i] == block)
                watch.patchedAtRelease[watch.releases++] = patchedSiteBits();
        }
    }
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// The library allocates its records with these.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }

namespace hostsim {
namespace {

TEST_F(Library, UnloadRestoresTheRenderSitesThenReleasesTheRecordsThenRestoresTheOtherSites) {
    static_assert(allSites[0] == address::poolSite && allSites[1] == address::renderCallSite &&
                  allSites[2] == address::renderJumpSite);
    constexpr std::uint32_t storeSitesOnly = 0b11001;
    load(1001);
    createPoolThroughSite(4);
    for (std::uint32_t slot : {0u, 2u, 3u}) {
        watch.collecting = true;
        constructThroughSite(vehicleInSlot(slot));
        watch.collecting = false;
    }
    ASSERT_EQ(watch.recordCount, 3);

    watch.watching = true;
    EXPECT_TRUE(library_.unload());
    watch.watching = false;
    ASSERT_EQ(watch.releases, 3);
    for (int i = 0; i < watch.releases; ++i)
        EXPECT_EQ(watch.patchedAtRelease[i], storeSitesOnly) << i;
    EXPECT_TRUE(patchedSites().empty());
}

}  // namespace
}  // namespace hostsim
