#pragma once
// A ride as a short text summary and a self-contained HTML page, with plots over time of what
// every component did. Both come from the ride's trace records alone.

#include <string>

#include "sim/report/ride_model.h"

namespace sim::report {

// A few lines for the ride, and one for every component of every vehicle.
std::string rideSummary(const Ride& ride);

// The plots and tables of one vehicle, as an HTML section.
std::string vehicleSection(const Ride& ride, const RideVehicle& vehicle);

// The whole page, titled "Vorlix " + title: a header with the host's side of the run, then every
// vehicle's section.
std::string reportPage(const Ride& ride, const std::string& title);

}  // namespace sim::report
