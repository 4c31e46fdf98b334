#include "sim/formats/json_shape_check.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "sim/formats/model_error.h"
#include "sim/formats/printable_bytes.h"

namespace sim {

namespace {

// Counts nesting and keeps nothing, so any size of JSON costs no memory here.
class ShapeCheck : public nlohmann::json_sax<nlohmann::json> {
  public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return enter(); }
    bool key(string_t&) override { return true; }
    bool end_object() override { return leave(); }
    bool start_array(std::size_t) override { return enter(); }
    bool end_array() override { return leave(); }
    bool parse_error(std::size_t position, const std::string& lastToken,
                     const nlohmann::json::exception&) override {
        errorPosition = position;
        this->lastToken = lastToken;
        return false;
    }

    bool tooDeep = false;
    std::size_t errorPosition = 0;
    std::string lastToken;

  private:
    bool enter() {
        tooDeep = ++depth_ > maxModelJsonDepth;
        return !tooDeep;
    }
    bool leave() {
        --depth_;
        return true;
    }
    int depth_ = 0;
};

// Line and column of the byte at index `at`.
std::string lineAndColumn(std::string_view json, std::size_t at) {
    const std::size_t end = std::min(at, json.size());
    int line = 1, column = 1;
    for (std::size_t i = 0; i < end; ++i) {
        if (json[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// What the parser stopped at, short and printable.
std::string shownToken(const std::string& token) {
    std::string shown;
    for (char c : token.substr(0, 24)) {
        const auto byte = static_cast<unsigned char>(c);
        shown += isPrintableAscii(byte) ? c : '?';
    }
    return token.size() > 24 ? shown + "..." : shown;
}

}  // namespace

void checkModelJson(std::string_view json, const std::string& fileName, const std::string& where) {
    ShapeCheck check;
    if (nlohmann::json::sax_parse(json.begin(), json.end(), &check)) return;
    if (check.tooDeep) {
        throw ModelError(fileName + ": " + where + ": nested deeper than " +
                         std::to_string(maxModelJsonDepth) + " levels");
    }
    throw ModelError(fileName + ": " + where + ": not valid JSON at " +
                     lineAndColumn(json, check.errorPosition - std::min(check.errorPosition,
                                                                        check.lastToken.size())) +
                     " (stopped at \"" + shownToken(check.lastToken) + "\")");
}

}  // namespace sim
