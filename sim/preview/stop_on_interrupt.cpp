#include "sim/preview/stop_on_interrupt.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#else
#include <boost/asio/signal_set.hpp>
#include <csignal>
#endif

namespace sim {

#ifdef _WIN32

namespace {

// A console control handler gets no context: the one io_context it stops.
std::atomic<boost::asio::io_context*> interrupted{nullptr};

BOOL WINAPI onConsoleControl(DWORD event) {
    boost::asio::io_context* io = interrupted.load();
    if (io == nullptr) return FALSE;
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
            io->stop();  // safe from the handler's own thread
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

struct StopOnInterrupt::Waiting {};

StopOnInterrupt::StopOnInterrupt(boost::asio::io_context& io) {
    interrupted.store(&io);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

StopOnInterrupt::~StopOnInterrupt() {
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    interrupted.store(nullptr);
}

#else

struct StopOnInterrupt::Waiting {
    explicit Waiting(boost::asio::io_context& io) : signals(io, SIGINT, SIGTERM) {
        signals.async_wait([&io](const boost::system::error_code& error, int) {
            if (!error) io.stop();
        });
    }
    boost::asio::signal_set signals;
};

StopOnInterrupt::StopOnInterrupt(boost::asio::io_context& io)
    : waiting_(std::make_unique<Waiting>(io)) {}

StopOnInterrupt::~StopOnInterrupt() = default;

#endif

}  // namespace sim
