#include <cstdlib>

#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"
#include "animation/saturating_conversions.h"
#include "host/platform/random.h"

namespace {

constexpr std::int64_t readingLimit = 999999;  // never shown: a total that reaches it is dropped
constexpr std::size_t wheelCount = 6;

// The text always holds six decimal digits.
std::int64_t readingValue(const std::string& text) {
    std::int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

std::string readingText(std::int64_t value) {
    std::string text(wheelCount, '0');
    for (std::size_t i = wheelCount; i-- > 0 && value > 0; value /= 10)
        text[i] = static_cast<char>('0' + value % 10);
    return text;
}

}  // namespace

// A six-wheel counter of the distance covered. The distance source is quantised to reading units
// and every change of the quantised value, up or down, adds its size to the reading. Each wheel
// whose digit changes turns by 36 degrees per digit of the change, so a wheel's total turn is
// always its digit times 36 degrees.
void animateOdometer(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    if (!nameHasKey(name, catalogueEntry(Component::odometer).key)) return;
    OdometerState& odometer = record.odometer;
    if (!odometer.odometerReady) {
        collectChildren(frame, odometer.odometerDigits);
        odometer.odometerReady = true;
        // Every vehicle starts with a reading of its own; the sequence is never seeded, so the
        // start values repeat from run to run.
        odometer.odometerLastRaw = platform::rand() % 56608 + 1234;
        if (nameHasKey(name, kilometresMarker)) odometer.odometerUnitFactor = kilometresUnitFactor;
        return;
    }

    const float source = host::vehicleSubclass(vehicle) == 9 ? host::bikeTravelCounter(vehicle)
                                                             : host::travelCounter(vehicle);
    const std::int32_t counter = truncateToInt32(source);
    const std::int32_t raw = truncateToInt32(
        static_cast<double>(counter) / (static_cast<double>(odometer.odometerUnitFactor) * 2.86));
    const std::int64_t total =
        std::llabs(static_cast<std::int64_t>(odometer.odometerLastRaw) - raw) +
        readingValue(odometer.odometerText);
    odometer.odometerLastRaw = raw;
    if (total >= readingLimit) return;

    const std::string next = readingText(total);
    if (next == odometer.odometerText) return;
    const FrameList& wheels = odometer.odometerDigits;
    for (std::size_t i = 0; i < wheelCount && i < wheels.size(); ++i) {
        const int change = next[i] - odometer.odometerText[i];
        if (change != 0) rotateFrameX(wheels[i], static_cast<float>(change * 36.0));
    }
    odometer.odometerText = next;
}
