// The per-vehicle store over the substitute host's pool.

#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "animation/component_state.h"
#include "host/events/events.h"
#include "host/extended_data.h"
#include "hostsim/host_image.h"
#include "hostsim/vehicle_pool.h"

namespace {

using hostsim::vehicleInSlot;

CVehicle* asVehicle(const void* address) {
    return static_cast<CVehicle*>(const_cast<void*>(address));
}
CVehicle* slotVehicle(std::uint32_t slot) { return asVehicle(vehicleInSlot(slot)); }

// A record that counts its live instances and whose next allocation can be made to fail.
struct CountedRecord {
    static inline int live = 0;
    static inline bool failNext = false;
    explicit CountedRecord(CVehicle*) { ++live; }
    ~CountedRecord() { --live; }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        if (failNext) {
            failNext = false;
            return nullptr;
        }
        return ::operator new(size, std::nothrow);
    }
    static void operator delete(void* block) { ::operator delete(block); }
    int marker = 0;
};

class Store : public ::testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(0);
        CountedRecord::live = 0;
    }
    void TearDown() override { hostsim::releaseVehiclePool(); }
};

TEST_F(Store, RecordsFollowThePoolConstructionAndDestruction) {
    plugin::VehicleExtendedData<VXData> store;
    EXPECT_EQ(store.slots, nullptr);
    EXPECT_EQ(store.slotCount, 0u);

    // Before the pool is ready notifications are ignored.
    hostsim::createVehiclePool(4);
    plugin::notifyObjectCreated(slotVehicle(1));
    plugin::notifyObjectDestroyed(slotVehicle(1));
    EXPECT_EQ(store.RecordOf(slotVehicle(1)), nullptr);

    plugin::notifyPoolAllocated();
    ASSERT_NE(store.slots, nullptr);
    ASSERT_EQ(store.slotCount, 4u);
    for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(store.slots[i], nullptr);

    plugin::notifyObjectCreated(slotVehicle(2));
    VXData* record = store.RecordOf(slotVehicle(2));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(store.slots[2], record);
    EXPECT_EQ(store.RecordOf(slotVehicle(1)), nullptr);

    // A vehicle built again in its slot starts from the defaults.
    record->passTime = 99;
    record->odometer.odometerText = "123456";
    plugin::notifyObjectCreated(slotVehicle(2));
    record = store.RecordOf(slotVehicle(2));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->passTime, 0u);
    EXPECT_EQ(record->odometer.odometerText, "000000");

    plugin::notifyObjectDestroyed(slotVehicle(2));
    EXPECT_EQ(store.RecordOf(slotVehicle(2)), nullptr);
    plugin::notifyObjectDestroyed(slotVehicle(2));
    EXPECT_EQ(store.RecordOf(slotVehicle(2)), nullptr);
}

TEST_F(Store, RecordsAreReleasedWhenReplacedDestroyedOrLeftAtTheEnd) {
    {
        plugin::VehicleExtendedData<CountedRecord> store;
        hostsim::createVehiclePool(3);
        store.OnPoolAllocated();
        for (std::uint32_t i = 0; i < 3; ++i) store.OnObjectCreated(slotVehicle(i));
        EXPECT_EQ(CountedRecord::live, 3);
        store.OnObjectCreated(slotVehicle(0));
        EXPECT_EQ(CountedRecord::live, 3);
        store.OnObjectDestroyed(slotVehicle(1));
        EXPECT_EQ(CountedRecord::live, 2);

        // A second pool starts over.
        hostsim::createVehiclePool(5);
        store.OnPoolAllocated();
        EXPECT_EQ(CountedRecord::live, 0);
        EXPECT_EQ(store.slotCount, 5u);
        store.OnObjectCreated(slotVehicle(4));
        store.OnObjectCreated(slotVehicle(3));
        EXPECT_EQ(CountedRecord::live, 2);
    }
    EXPECT_EQ(CountedRecord::live, 0);
}

TEST_F(Store, VehiclesOutsideThePoolHaveNoSlot) {
    plugin::VehicleExtendedData<CountedRecord> store;
    hostsim::createVehiclePool(3);
    store.OnPoolAllocated();
    const auto base = reinterpret_cast<const unsigned char*>(vehicleInSlot(0));
    const struct {
        const char* what;
        std::ptrdiff_t offset;
    } cases[] = {
        {"one slot past the end", 3 * 2584},
        {"far past the end", 1000 * 2584},
        {"one slot before the start", -2584},
        {"just before the start", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CVehicle* outside = asVehicle(base + c.offset);
        store.OnObjectCreated(outside);
        EXPECT_EQ(store.RecordOf(outside), nullptr);
        store.OnObjectDestroyed(outside);
    }
    EXPECT_EQ(CountedRecord::live, 0);
    for (std::uint32_t i = 0; i < 3; ++i) EXPECT_EQ(store.slots[i], nullptr);
}

TEST_F(Store, PoolsThatCannotBeHeldLeaveTheStoreEmpty) {
    plugin::VehicleExtendedData<CountedRecord> store;
    hostsim::createVehiclePool(0);
    store.OnPoolAllocated();
    EXPECT_NE(store.slots, nullptr) << "an empty pool still has its (empty) array";
    EXPECT_EQ(store.slotCount, 0u);

    for (std::uint32_t count : {0xFFFFFFFFu, 0x40000000u, 0x40000001u}) {
        SCOPED_TRACE(count);
        hostsim::SimPool huge{nullptr, 0, count};
        hostsim::vehiclePoolVariable() = &huge;
        EXPECT_NO_THROW(store.OnPoolAllocated());
        EXPECT_EQ(store.slots, nullptr);
        EXPECT_EQ(store.slotCount, 0u);
        store.OnObjectCreated(asVehicle(reinterpret_cast<void*>(0x1000)));
        hostsim::vehiclePoolVariable() = nullptr;
    }

    // Without a pool at all nothing is sized.
    store.OnPoolAllocated();
    EXPECT_EQ(store.slots, nullptr);
}

TEST_F(Store, ARecordThatCannotBeMadeLeavesTheSlotEmpty) {
    plugin::VehicleExtendedData<CountedRecord> store;
    hostsim::createVehiclePool(2);
    store.OnPoolAllocated();
    store.OnObjectCreated(slotVehicle(1));
    ASSERT_NE(store.RecordOf(slotVehicle(1)), nullptr);
    CountedRecord::failNext = true;
    EXPECT_NO_THROW(plugin::notifyObjectCreated(slotVehicle(1)));
    EXPECT_EQ(store.RecordOf(slotVehicle(1)), nullptr);
    EXPECT_EQ(CountedRecord::live, 0);
}

TEST_F(Store, EveryRegisteredInterfaceHearsEveryEventInOrder) {
    plugin::VehicleExtendedData<VXData> first;
    plugin::VehicleExtendedData<CountedRecord> second;
    const auto& interfaces = plugin::extenderRegistry().interfaces;
    ASSERT_GE(interfaces.size(), 2u);
    EXPECT_EQ(interfaces[interfaces.size() - 2], &first);
    EXPECT_EQ(interfaces.back(), &second);
    EXPECT_EQ(plugin::extenderRegistry().callbacksInstalled, 1);
    // The callbacks were added once, by the first interface ever registered.
    EXPECT_EQ(plugin::poolReadyEvent().after.size(), 1u);
    EXPECT_EQ(plugin::vehicleCreatedEvent().before.size(), 1u);
    EXPECT_EQ(plugin::vehicleDestroyedEvent().after.size(), 1u);

    hostsim::createVehiclePool(2);
    plugin::notifyPoolAllocated();
    plugin::notifyObjectCreated(slotVehicle(0));
    EXPECT_NE(first.RecordOf(slotVehicle(0)), nullptr);
    EXPECT_NE(second.RecordOf(slotVehicle(0)), nullptr);
    plugin::notifyObjectDestroyed(slotVehicle(0));
    EXPECT_EQ(first.RecordOf(slotVehicle(0)), nullptr);
    EXPECT_EQ(second.RecordOf(slotVehicle(0)), nullptr);

    // An interface that is gone is no longer reached.
    const std::size_t registered = interfaces.size();
    {
        plugin::VehicleExtendedData<CountedRecord> third;
        EXPECT_EQ(interfaces.size(), registered + 1);
    }
    EXPECT_EQ(interfaces.size(), registered);
    plugin::notifyObjectCreated(slotVehicle(1));
    EXPECT_EQ(CountedRecord::live, 1);
}

}  // namespace
