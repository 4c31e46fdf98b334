#include "sim/check/document_words.h"

namespace sim::check {

// Each switch names every value, so a new one does not build until it has its word.

std::string_view warningCode(WarningKind kind) {
    switch (kind) {
        case WarningKind::noKey:
            return "no-key";
        case WarningKind::keyWithoutPrefix:
            return "key-without-prefix";
        case WarningKind::prefixCase:
            return "prefix-case";
        case WarningKind::sharedKey:
            return "shared-key";
        case WarningKind::noChainLinks:
            return "no-chain-links";
        case WarningKind::noGearDisplays:
            return "no-gear-displays";
        case WarningKind::fewGearDisplays:
            return "few-gear-displays";
        case WarningKind::fewOdometerWheels:
            return "few-odometer-wheels";
        case WarningKind::outOfRange:
            return "out-of-range";
        case WarningKind::zeroMaximum:
            return "zero-maximum";
        case WarningKind::zeroAngle:
            return "zero-angle";
        case WarningKind::negativeStroke:
            return "negative-stroke";
        case WarningKind::kphOnSpeedometer:
            return "kph-on-speedometer";
        case WarningKind::malformedMarker:
            return "malformed-marker";
        case WarningKind::angleBeyondTurn:
            return "angle-beyond-turn";
        case WarningKind::implausibleNeedleRange:
            return "implausible-needle-range";
        case WarningKind::kphCase:
            return "kph-case";
        case WarningKind::needleDefaults:
            return "needle-defaults";
        case WarningKind::setAsGroup:
            return "set-as-group";
    }
    return "";
}

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
