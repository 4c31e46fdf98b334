#pragma once
// What the figures of a ride say in words: what each component did, the rows of a flip-book, an
// odometer's reading.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "sim/report/ride_model.h"

namespace sim::report {

std::string formatNumber(const char* pattern, double value);
std::string degrees(double value);  // "-30.0°"
// The digits of an odometer with `wheels` digit wheels (at most six): "01234".
std::string readingText(double reading, std::size_t wheels);
// What an odometer with too few wheels leaves out: "the rightmost digit is not shown"; or "".
std::string missingDigits(const RideComponent& component);
// The component's title as a heading: "Front brake".
std::string heading(const RideComponent& component);

// The lowest and the highest value, counting 0.
std::pair<double, double> valueRange(const Samples& samples);

// The name of a row of a flip-book: the gear for a gear meter (N for 0), else the frame's name.
// For noRowShown and severalRowsShown, what the model shows: "no display shown", "several link
// sets shown".
std::string rowName(const RideVehicle& vehicle, const RideComponent& component, double row);

// A flip-book's row as a value: "gear 3" or "N" for a gear meter, else as rowName.
std::string shownText(const RideVehicle& vehicle, const RideComponent& component, double row);

// Each slot of a chain, gear meter or odometer with the child that fills it, as check lists them:
// "gear 0 (neutral) → gear_1", one line a slot (a gear meter's line i is gear i's). Empty for
// other components.
std::vector<std::string> slotLines(const RideVehicle& vehicle, const RideComponent& component);
// The same in one line, or "".
std::string slotsText(const RideVehicle& vehicle, const RideComponent& component);

// One line, for example "reached -30.0°, 2 strokes" or "showed N 1 2 1 N".
std::string whatItDid(const RideVehicle& vehicle, const RideComponent& component);

// "class 9, slot 0, ticks 0 to 1500, 1500 renders (1500 through the call site)"
std::string lifeOf(const RideVehicle& vehicle);

// The host's side of the run: "0x5BF85B 0x6C4523" or "none"; the log's lines quoted, or "(empty)".
std::string sitesText(const Ride& ride);
std::string logText(const Ride& ride);

}  // namespace sim::report
