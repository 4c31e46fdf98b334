#pragma once

#include "host/host_interface.h"

// The vehicle's speed in kilometres per hour: by its wheel speeds for the wheeled classes (signed),
// by the length of its move-speed vector for every other class.
double estimateSpeed(CVehicle* vehicle);
