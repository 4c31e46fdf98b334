#pragma once
// What preview --watch answers each request with. It serves only its own two resources, from
// memory: the page (/) and the state of the ride (/ride?after=N); no part of a request names a
// file. Requests must be GETs addressed to the loopback host itself, so that a page from elsewhere
// that renames its own host to 127.0.0.1 cannot read the model.

#include <string>
#include <string_view>

namespace sim {

// The state shown: a version number that grows with every change of the model, the page of the
// last readable model, and the ride's state as the page polls it: {"version":N}, whose page the
// page then loads, or, for a model that cannot be read, {"version":N,"error":message}.
struct WatchedRide {
    int version = 0;
    std::string page;
    std::string state;
};

struct WatchAnswer {
    int status = 200;
    std::string contentType;  // empty: no body
    std::string body;
};

WatchAnswer watchAnswer(std::string_view method, std::string_view target, std::string_view host,
                        unsigned short port, const WatchedRide& ride);

// The state of a ride that was read, and of one that was not.
std::string rideState(int version);
std::string rideError(int version, std::string_view message);

}  // namespace sim
