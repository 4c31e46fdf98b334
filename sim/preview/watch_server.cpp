#include "sim/preview/watch_server.h"

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <memory>
#include <string_view>

namespace sim {

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr std::size_t maxRequestBytes = 8192;  // a GET has no body; its headers are small
constexpr auto requestTime = std::chrono::seconds(10);
constexpr int maxOpen = 32;

#ifdef _WIN32
// There, a second program may take a port that allows address reuse.
constexpr bool reuseAddress = false;
#else
// A port left waiting by the last run can be taken again at once.
constexpr bool reuseAddress = true;
#endif

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(tcp::socket socket, const WatchedRide& ride, std::shared_ptr<int> open)
        : stream_(std::move(socket)), ride_(ride), open_(std::move(open)) {
        ++*open_;
        parser_.header_limit(maxRequestBytes);
        parser_.body_limit(0);
    }
    ~Connection() { --*open_; }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start() {
        stream_.expires_after(requestTime);
        http::async_read(stream_, buffer_, parser_,
                         [self = shared_from_this()](beast::error_code error, std::size_t) {
                             self->answer(error);
                         });
    }

  private:
    void answer(beast::error_code error) {
        // A connection closed or left idle gets no answer.
        if (error == http::error::end_of_stream || error == beast::error::timeout ||
            error == asio::error::operation_aborted || error == asio::error::connection_reset)
            return;
        WatchAnswer answer{400, "text/plain; charset=utf-8", "bad request\n"};
        if (!error) {
            const http::request<http::empty_body>& request = parser_.get();
            const unsigned short port = stream_.socket().local_endpoint(error).port();
            const auto text = [](beast::string_view view) {
                return std::string_view(view.data(), view.size());
            };
            answer = watchAnswer(text(request.method_string()), text(request.target()),
                                 text(request[http::field::host]), port, ride_);
        }
        response_.version(11);
        response_.result(static_cast<unsigned>(answer.status));
        if (!answer.contentType.empty())
            response_.set(http::field::content_type, answer.contentType);
        if (answer.status == 405) response_.set(http::field::allow, "GET");
        response_.set(http::field::cache_control, "no-store");
        response_.set("X-Content-Type-Options", "nosniff");
        response_.body() = std::move(answer.body);
        response_.keep_alive(false);
        response_.prepare_payload();
        stream_.expires_after(requestTime);
        http::async_write(stream_, response_,
                          [self = shared_from_this()](beast::error_code, std::size_t) {
                              beast::error_code ignored;
                              self->stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
                          });
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_{maxRequestBytes};
    http::request_parser<http::empty_body> parser_;
    http::response<http::string_body> response_;
    const WatchedRide& ride_;
    std::shared_ptr<int> open_;  // outlives the server when the io_context does
};

}  // namespace

WatchServer::WatchServer(asio::io_context& io, unsigned short port, const WatchedRide& ride)
    : acceptor_(io, tcp::endpoint(asio::ip::address_v4::loopback(), port), reuseAddress),
      ride_(ride) {
    accept();
}

void WatchServer::accept() {
    acceptor_.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (error == asio::error::operation_aborted) return;
        if (!error && *open_ < maxOpen)
            std::make_shared<Connection>(std::move(socket), ride_, open_)->start();
        accept();
    });
}

}  // namespace sim
