#pragma once
// Ctrl-C (and a request to terminate) ends io's run() instead of the process, so that a server on
// it closes cleanly and the program exits 0.

#include <utility>  // before asio: Boost 1.74's asio misses it under C++20

#include <boost/asio/io_context.hpp>
#include <memory>

namespace sim {

class StopOnInterrupt {
  public:
    explicit StopOnInterrupt(boost::asio::io_context& io);
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

  private:
    struct Waiting;
    std::unique_ptr<Waiting> waiting_;
};

}  // namespace sim
