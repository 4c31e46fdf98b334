#pragma once
// The HTTP server of preview --watch: listens on 127.0.0.1 only and answers each request with
// watchAnswer, on the caller's io_context (one thread). A connection carries one request, read
// with bounded size and time, and is closed after its answer.

#include <utility>  // before asio: Boost 1.74's asio misses it under C++20

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <memory>

#include "sim/preview/watch_answers.h"

namespace sim {

class WatchServer {
  public:
    // port 0: one the system chooses. The ride must outlive the server; it may change between
    // requests.
    WatchServer(boost::asio::io_context& io, unsigned short port, const WatchedRide& ride);

    boost::asio::ip::tcp::endpoint endpoint() const { return acceptor_.local_endpoint(); }

  private:
    void accept();

    boost::asio::ip::tcp::acceptor acceptor_;
    const WatchedRide& ride_;
    std::shared_ptr<int> open_ = std::make_shared<int>(0);  // connections open now
};

}  // namespace sim
