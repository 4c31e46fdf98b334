#include "sim/cli/network_layer.h"

#ifdef _WIN32
#include <boost/asio/detail/winsock_init.hpp>
#include <stdexcept>
#include <string>

namespace sim::cli {

namespace {

// Boost.Asio starts Windows sockets from a static object in every file that includes it, so the
// program would start them whatever the command. Constructed before those objects, this takes
// their place and starts nothing: startNetworkLayer does, for the one command that serves.
__attribute__((init_priority(101)))
boost::asio::detail::winsock_init<>::manual socketsStartedByHand;

}  // namespace

void startNetworkLayer() {
    WSADATA data;
    const int error = WSAStartup(MAKEWORD(2, 2), &data);
    if (error != 0)
        throw std::runtime_error("cannot start the network layer (error " + std::to_string(error) +
                                 ")");
}

}  // namespace sim::cli
#else

namespace sim::cli {

// The Linux network layer needs no start.
void startNetworkLayer() {}

}  // namespace sim::cli
#endif
