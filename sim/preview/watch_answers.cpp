#include "sim/preview/watch_answers.h"

#include "sim/formats/json_writing.h"

namespace sim {

namespace {

WatchAnswer plain(int status, std::string_view text) {
    return {status, "text/plain; charset=utf-8", std::string(text) + "\n"};
}

}  // namespace

WatchAnswer watchAnswer(std::string_view method, std::string_view target, std::string_view host,
                        unsigned short port, const WatchedRide& ride) {
    const std::string portText = ":" + std::to_string(port);
    if (host != "127.0.0.1" + portText && host != "localhost" + portText)
        return plain(403, "this server answers only requests to 127.0.0.1" + portText);
    if (method != "GET") return plain(405, "only GET");
    if (target == "/") return {200, "text/html; charset=utf-8", ride.page};
    // The page asks with the version it shows: unchanged, there is nothing to send.
    constexpr std::string_view ridePrefix = "/ride?after=";
    if (target.substr(0, ridePrefix.size()) == ridePrefix) {
        if (target.substr(ridePrefix.size()) == std::to_string(ride.version)) return {204, "", ""};
        return {200, "application/json", ride.state};
    }
    return plain(404, "not found");
}

std::string rideState(int version) { return "{\"version\":" + std::to_string(version) + '}'; }

std::string rideError(int version, std::string_view message) {
    std::string out = "{\"version\":" + std::to_string(version) + ",\"error\":";
    appendJsonString(out, message);
    return out + '}';
}

}  // namespace sim
