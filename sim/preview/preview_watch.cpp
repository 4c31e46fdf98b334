#include "sim/preview/preview_watch.h"

#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <exception>
#include <stdexcept>

#include "sim/formats/utf8_path.h"
#include "sim/preview/file_watch.h"
#include "sim/preview/preview_page.h"
#include "sim/preview/stop_on_interrupt.h"
#include "sim/preview/watch_server.h"

namespace sim {

namespace {

// Often enough to feel immediate after a save, rarely enough to cost nothing.
constexpr auto pollEvery = std::chrono::milliseconds(400);

class Watch {
  public:
    Watch(const PreviewRequest& request, boost::asio::io_context& io, std::ostream& out,
          std::ostream& problems)
        : request_(request),
          name_(request.modelPath.substr(request.modelPath.find_last_of("/\\") + 1)),
          timer_(io),
          out_(out),
          problems_(problems) {
        files_.watch({utf8Path(request.modelPath)});
        show(previewRide(request, ride_.version));
    }

    const WatchedRide& ride() const { return ride_; }
    const std::string& name() const { return name_; }

    void poll() {
        timer_.expires_after(pollEvery);
        timer_.async_wait([this](const boost::system::error_code& error) {
            if (error) return;
            if (files_.changed()) update();
            poll();
        });
    }

  private:
    void show(PreviewRide ride) {
        ride_.page = previewPage(ride.plotsMarkup, ride.dataJson);
        ride_.state = rideState(ride_.version);
        files_.watch(std::move(ride.files));
    }

    // A model that cannot be read keeps the last page, and the files it referred to watched.
    void update() {
        ++ride_.version;
        try {
            show(previewRide(request_, ride_.version));
            out_ << name_ << " changed: the page shows the new ride" << std::endl;
        } catch (const std::exception& error) {
            ride_.state = rideError(ride_.version, error.what());
            problems_ << "vorlix-sim: " << error.what() << " (still watching)" << std::endl;
        }
    }

    const PreviewRequest& request_;
    std::string name_;
    FileWatch files_;
    WatchedRide ride_{1, {}, {}};
    boost::asio::steady_timer timer_;
    std::ostream& out_;
    std::ostream& problems_;
};

}  // namespace

void watchPreview(const PreviewRequest& request, unsigned short port, std::ostream& out,
                  std::ostream& problems) {
    boost::asio::io_context io;
    Watch watch(request, io, out, problems);
    std::unique_ptr<WatchServer> server;
    try {
        server = std::make_unique<WatchServer>(io, port, watch.ride());
    } catch (const boost::system::system_error& error) {
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                                 error.code().message());
    }
    const StopOnInterrupt interrupt(io);
    out << "Watching " << watch.name() << ": open http://127.0.0.1:" << server->endpoint().port()
        << "/ (Ctrl-C ends)" << std::endl;
    watch.poll();
    io.run();
    out << "Stopped watching " << watch.name() << std::endl;
}

}  // namespace sim
