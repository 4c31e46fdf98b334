#pragma once

namespace sim::cli {

// Starts the system's network layer, which only preview --watch needs: every other command runs
// without it. Throws std::runtime_error when it cannot be started.
void startNetworkLayer();

}  // namespace sim::cli
