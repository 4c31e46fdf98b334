#include "sim/check/document_words.h"

namespace sim::check {

// Each switch names every value, so a new one does not build until it has its word.

std::string_view axisWord(Axis axis) {
    switch (axis) {
        case Axis::none:
            return "";
        case Axis::x:
            return "x";
        case Axis::y:
            return "y";
        case Axis::z:
            return "z";
    }
    return "";
}

std::string_view motionWord(Motion motion) {
    switch (motion) {
        case Motion::lever:
            return "lever";
        case Motion::needle:
            return "needle";
        case Motion::flipBook:
            return "flip-book";
        case Motion::counter:
            return "counter";
    }
    return "";
}

std::string_view childFramesWord(ChildFrames children) {
    switch (children) {
        case ChildFrames::none:
            return "";
        case ChildFrames::chainLinkSets:
            return "link-sets";
        case ChildFrames::gearDisplays:
            return "gear-displays";
        case ChildFrames::odometerWheels:
            return "digit-wheels";
    }
    return "";
}

std::string_view conversionWord(Conversion conversion) {
    return conversion == Conversion::integer ? "integer" : "float";
}

}  // namespace sim::check
