#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "sim/check/warning_finders.h"
#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

// What a component turns: the frame itself, or an odometer's digit wheels.
struct MovingPart {
    std::string noun;  // "the needle"
    bool plural = false;
};

std::optional<MovingPart> movingPart(const FrameRecord& frame, const ComponentUse& use) {
    switch (catalogueEntry(use.component).motion) {
        case Motion::lever:
            return MovingPart{"the lever"};
        case Motion::needle:
            return MovingPart{"the needle"};
        case Motion::counter:
            if (frame.children.empty()) return std::nullopt;
            return MovingPart{"the digit wheels", true};
        case Motion::flipBook:
            break;
    }
    return std::nullopt;
}

// "1.25, 0.6, 1": four significant digits hide an exporter's rounding.
std::string scaleText(const NodeScale& scale) {
    std::string text;
    for (const double axis : scale.axes) {
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, axis, std::chars_format::general, 4);
        text += (text.empty() ? "" : ", ") + std::string(buffer, result.ptr);
    }
    return text;
}

constexpr const char* mirroredAdvice =
    ": no tool can promise which way a mirrored part turns in the game; apply negative scales "
    "before naming moving parts";

}  // namespace

void findNonUniformParentScale(const FrameRecord& frame, const ComponentUse& use,
                               std::vector<std::string>& messages) {
    const std::optional<MovingPart> part = movingPart(frame, use);
    if (!part) return;
    // The digit wheels turn under the odometer's own frame too.
    const bool underItself = part->plural && !isUniform(frame.scale);
    if (!underItself && !frame.nonUniformAbove) return;
    const std::string whose = underItself ? "this frame" : quoted(frame.nonUniformAbove->name);
    const NodeScale& scale = underItself ? frame.scale : frame.nonUniformAbove->scale;
    messages.push_back(
        std::string(componentTitle(use.component)) + ": " + part->noun +
        (part->plural ? " turn" : " turns") + " under " + whose + ", scaled " + scaleText(scale) +
        ": a turn under a scale that differs between axes shears " + part->noun + " and changes " +
        (part->plural ? "their" : "its") + " length; " +
        (underItself
             ? "apply this frame's scale"
             : "apply the scale of " + whose + ", or parent this frame to an unscaled empty"));
}

void findMirroredMovingPart(const FrameRecord& frame, const ComponentUse& use,
                            std::vector<std::string>& messages) {
    const std::optional<MovingPart> part = movingPart(frame, use);
    if (!part) return;
    const std::string head = std::string(componentTitle(use.component)) + ": ";
    const std::string mirrored = part->noun + (part->plural ? " are mirrored" : " is mirrored");
    if (frame.scale.mirrored) {
        messages.push_back(head + "this frame has a negative scale, so " + mirrored +
                           mirroredAdvice);
    } else if (frame.mirroredAbove) {
        messages.push_back(head + quoted(frame.mirroredAbove->name) +
                           " above this frame has a negative scale, so " + mirrored +
                           mirroredAdvice);
    } else if (part->plural) {
        // Only the odometer's own frame is not mirrored: each wheel may be.
        std::vector<std::string> wheels;
        for (std::size_t i = 0; i < frame.children.size() && i < odometerWheelCount; ++i) {
            if (frame.children[i].scale.mirrored)
                wheels.push_back(std::to_string(i + 1) + " (" + quoted(frame.children[i].name) +
                                 ")");
        }
        if (wheels.empty()) return;
        std::string list;
        for (const std::string& wheel : wheels) list += (list.empty() ? "" : ", ") + wheel;
        messages.push_back(head + (wheels.size() == 1 ? "digit wheel " : "digit wheels ") + list +
                           (wheels.size() == 1 ? " has a negative scale, so it is mirrored"
                                               : " have negative scales, so they are mirrored") +
                           mirroredAdvice);
    }
}

}  // namespace sim::check
