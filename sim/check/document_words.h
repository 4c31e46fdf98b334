#pragma once
// The words of the documents vorlix-sim writes for other programs (check --format json, the
// catalogue). Published: a word, once out, never changes meaning.

#include <string_view>

#include "animation/component_catalogue.h"

namespace sim::check {

std::string_view axisWord(Axis axis);                    // "x", or empty for none
std::string_view motionWord(Motion motion);              // "flip-book"
std::string_view childFramesWord(ChildFrames children);  // "link-sets", or empty for none
std::string_view conversionWord(Conversion conversion);  // "integer", "float"

}  // namespace sim::check
