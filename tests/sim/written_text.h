#pragma once
// What a test wrote to a temporary file (a trace), read back from its start.

#include <cstdio>
#include <string>

namespace sim::test {

inline std::string writtenText(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    return text;
}

}  // namespace sim::test
