#include <array>
#include <cstdlib>
#include <string>

#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"
#include "animation/saturating_conversions.h"
#include "host/platform/random.h"

namespace {

constexpr std::int64_t readingLimit = 999999;  // never shown: a total that reaches it is dropped

using Reading = std::array<char, odometerWheelCount>;

// The text always holds six decimal digits.
std::int64_t readingValue(const std::string& text) {
    std::int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

// value is below the reading limit.
Reading readingDigits(std::uint32_t value) {
    Reading digits;
    for (std::size_t i = odometerWheelCount; i-- > 0; value /= 10) {
        digits[i] = static_cast<char>('0' + value % 10);
    }
    return digits;
}

}  // namespace

// A six-wheel counter of the distance covered. The distance source is quantised to reading units
// and every change of the quantised value, up or down, adds its size to the reading. Each wheel
// whose digit changes turns by odometerDegreesPerDigit per digit of the change, so a wheel's total
// turn is always its digit times that angle.
void animateOdometer(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    OdometerState& odometer = record.odometer;
    if (!odometer.odometerReady) {
        if (!collectChildren(frame, odometer.odometerDigits)) return;  // again on the next visit
        odometer.odometerReady = true;
        // Every vehicle starts with a reading of its own; the sequence is never seeded, so the
        // start values repeat from run to run.
        odometer.odometerLastRaw = platform::rand() % 56608 + 1234;
        if (nameHasKey(name, kilometresMarker)) odometer.odometerUnitFactor = kilometresUnitFactor;
        return;
    }

    const float source = host::hasOwnTravelCounter(host::vehicleSubclass(vehicle))
                             ? host::bikeTravelCounter(vehicle)
                             : host::travelCounter(vehicle);
    const std::int32_t counter = truncateToInt32(source);
    const std::int32_t raw = truncateToInt32(
        static_cast<double>(counter) / (static_cast<double>(odometer.odometerUnitFactor) * 2.86));
    // No distance in reading units since the last pass: the reading stays.
    if (raw == odometer.odometerLastRaw) return;
    const std::int64_t total =
        std::llabs(static_cast<std::int64_t>(odometer.odometerLastRaw) - raw) +
        readingValue(odometer.odometerText);
    odometer.odometerLastRaw = raw;
    if (total >= readingLimit) return;

    const Reading next = readingDigits(static_cast<std::uint32_t>(total));
    std::string& shown = odometer.odometerText;
    const FrameList& wheels = odometer.odometerDigits;
    for (std::size_t i = 0; i < odometerWheelCount; ++i) {
        const int change = next[i] - shown[i];
        if (change == 0) continue;
        if (i < wheels.size())
            rotateFrame(wheels[i], catalogueEntry(Component::odometer).axis,
                        static_cast<float>(change * odometerDegreesPerDigit));
        shown[i] = next[i];
    }
}
