#pragma once
// A ride as its trace records tell it: every vehicle's frames, what each of its components showed
// after every render, and the speed and gear the library saw. Made from the records alone, as a
// run hands them over or as a trace file gives them back: the rotations the library asked for are
// accumulated per frame, the flag bytes it set are kept per object.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "animation/component_catalogue.h"
#include "sim/formats/trace_sink.h"

namespace sim::report {

using Samples = std::vector<std::pair<double, double>>;  // (tick, value)

// A flip-book's value when it shows no row, or more than one, instead of the row it shows.
inline constexpr int noRowShown = -1;
inline constexpr int severalRowsShown = -2;

struct RideFrame {
    std::string name;
    int parent = -1;
    std::vector<int> children;
    int firstObject = 0;  // index of its first attached object in the vehicle's flags
    int objects = 0;
};

// A component that a frame's name calls for; a frame with two keys has two.
struct RideComponent {
    const ComponentEntry* entry;
    int frame;
    std::vector<int>
        rows;  // the child frames it shows in turn or turns: link sets, displays, wheels
    // At creation and after each render: the frame's angle, the row shown (or noRowShown,
    // severalRowsShown) or the odometer's reading.
    Samples values;
    int steps = 0;  // changes of the row shown, or of the reading
};

// What one render asked of the host, as the preview replays it.
struct RideRender {
    std::uint32_t tick = 0;
    std::vector<TraceRotation> rotations;
    std::vector<hostsim::FlagChange> flags;
    RenderInputs inputs;  // what the vehicle showed the library: its gear, its brakes
};

struct RideVehicle {
    std::string name;
    std::int32_t vehicleClass = 0;
    std::uint32_t slot = 0, created = 0, destroyed = 0, renders = 0;
    std::map<std::string, int> rendersBySite;
    std::vector<RideFrame> frames;
    std::vector<std::uint8_t> flags;  // every attached object's flag byte, frame by frame
    std::vector<double> angles;       // the rotation accumulated per frame, whatever its axis
    std::vector<RideComponent> components;
    Samples speed, gear;  // at each render: the library's speed estimate in km/h, and the gear
    std::vector<RideRender> renderChanges;  // since its last creation
};

struct Ride {
    std::int32_t version = 0;
    std::vector<std::uint32_t> patchedSites;
    std::uint32_t ticks = 0;
    bool restored = false;
    std::vector<std::string> log;
    std::vector<RideVehicle> vehicles;  // in the order of their first creation
};

// Records that make no ride: a vehicle rendered or destroyed that is not alive, or one with more
// attached objects than a ride holds.
struct RideError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Makes the ride of the records it takes, in order. Throws RideError.
class RideBuilder final : public TraceSink {
  public:
    void take(const TraceStart& line) override;
    void take(const TraceCreate& line) override;
    void take(const TraceRender& line) override;
    void take(const TraceDestroy& line) override;
    void take(const TraceEnd& line) override;

    const Ride& ride() const { return ride_; }
    Ride release() { return std::move(ride_); }

  private:
    RideVehicle& createdVehicle(const std::string& name);
    RideVehicle& liveVehicle(const std::string& name, const char* does);

    Ride ride_;
    std::map<std::string, std::size_t> index_;
    std::map<std::string, bool> live_;
};

// A trace file's ride. Throws TraceError for a trace that cannot be read or that makes no ride,
// placed at the line.
Ride readRide(std::string_view traceText, std::string_view fileName);

// Whether the frame's objects have the render flag: for a flip-book, the row it shows.
bool isShown(const RideVehicle& vehicle, int frame);

}  // namespace sim::report
