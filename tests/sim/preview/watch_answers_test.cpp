#include "sim/preview/watch_answers.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(WatchAnswers, OnlyTheOwnPageAndRideGoToGetsAddressedToTheLoopbackHost) {
    const WatchedRide ride{7, "<page>", "{\"version\":7}"};
    struct Case {
        const char* method;
        const char* target;
        const char* host;
        int status;
        const char* body;
    };
    const Case cases[] = {
        {"GET", "/", "127.0.0.1:8080", 200, "<page>"},
        {"GET", "/", "localhost:8080", 200, "<page>"},
        {"GET", "/ride?after=7", "127.0.0.1:8080", 204, ""},
        {"GET", "/ride?after=6", "127.0.0.1:8080", 200, "{\"version\":7}"},
        {"GET", "/ride?after=70", "127.0.0.1:8080", 200, "{\"version\":7}"},
        {"GET", "/ride", "127.0.0.1:8080", 404, "not found\n"},
        {"GET", "/preview.html", "127.0.0.1:8080", 404, "not found\n"},
        {"GET", "/../bike.glb", "127.0.0.1:8080", 404, "not found\n"},
        {"GET", "http://127.0.0.1:8080/", "127.0.0.1:8080", 404, "not found\n"},
        {"POST", "/", "127.0.0.1:8080", 405, "only GET\n"},
        {"HEAD", "/", "127.0.0.1:8080", 405, "only GET\n"},
        // A page of another site whose name was made to point at 127.0.0.1.
        {"GET", "/", "attacker.example:8080", 403, nullptr},
        {"GET", "/", "127.0.0.1:8081", 403, nullptr},
        {"GET", "/", "127.0.0.1", 403, nullptr},
        {"GET", "/", "", 403, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.target + " Host: " + c.host);
        const WatchAnswer answer = watchAnswer(c.method, c.target, c.host, 8080, ride);
        EXPECT_EQ(answer.status, c.status);
        if (c.body) {
            EXPECT_EQ(answer.body, c.body);
        }
    }
}

}  // namespace
}  // namespace sim
