#include "sim/check/child_slots.h"

#include <algorithm>

namespace sim::check {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSeparator(char c) { return c == '_' || c == '-' || c == '.' || c == ' '; }

// The length of the run of digits that ends the text.
std::size_t trailingDigits(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[text.size() - 1 - n])) ++n;
    return n;
}

// Longer numbers are no slot number, and would not fit.
constexpr std::size_t longestNumber = 6;

std::optional<long> numberAtEnd(std::string_view text) {
    const std::size_t digits = trailingDigits(text);
    if (digits == 0 || digits > longestNumber) return std::nullopt;
    return std::stol(std::string(text.substr(text.size() - digits)));
}

}  // namespace

std::vector<std::string> namesInSlotOrder(Component component,
                                          const std::vector<ChildFrame>& children) {
    std::vector<std::string> names;
    switch (catalogueEntry(component).children) {
        case ChildFrames::gearDisplays:
            for (const ChildFrame& child : children) names.push_back(child.name);
            break;
        case ChildFrames::odometerWheels:
            for (std::size_t i = 0; i < std::min(children.size(), odometerWheelCount); ++i)
                names.push_back(children[i].name);
            break;
        case ChildFrames::chainLinkSets:
            // Moving forward, the chain steps back one child at a time, from the first to the
            // last and on down.
            if (!children.empty()) names.push_back(children.front().name);
            for (std::size_t i = children.size(); i-- > 1;) names.push_back(children[i].name);
            break;
        case ChildFrames::none:
            break;
    }
    return names;
}

std::vector<std::string> slotLines(Component component, const std::vector<ChildFrame>& children) {
    const std::vector<std::string> names = namesInSlotOrder(component, children);
    std::vector<std::string> lines;
    if (names.empty()) return lines;
    switch (catalogueEntry(component).children) {
        case ChildFrames::gearDisplays:
            for (std::size_t i = 0; i < names.size(); ++i)
                lines.push_back((i == 0 ? "gear 0 (neutral)" : "gear " + std::to_string(i)) +
                                " → " + names[i]);
            break;
        case ChildFrames::odometerWheels:
            for (std::size_t i = 0; i < names.size(); ++i)
                lines.push_back((i == 0 ? "wheel 1 (leftmost)" : "wheel " + std::to_string(i + 1)) +
                                " → " + names[i]);
            break;
        case ChildFrames::chainLinkSets: {
            std::string line = "link sets in turn while moving forward: ";
            for (const std::string& name : names) line += name + " → ";
            lines.push_back(line + names.front());
            break;
        }
        case ChildFrames::none:
            break;
    }
    return lines;
}

std::string describeSlots(Component component, const std::vector<ChildFrame>& children) {
    std::string text;
    for (const std::string& line : slotLines(component, children))
        text += (text.empty() ? "" : ", ") + line;
    return text;
}

std::optional<long> slotNumberInName(std::string_view name, bool neutralWord) {
    // An editor's copy suffix, ".001".
    constexpr std::size_t copyDigits = 3;
    if (trailingDigits(name) == copyDigits && name.size() > copyDigits &&
        name[name.size() - copyDigits - 1] == '.')
        name.remove_suffix(copyDigits + 1);
    if (const std::optional<long> number = numberAtEnd(name)) return number;
    if (!neutralWord || !name.ends_with('N')) return std::nullopt;
    name.remove_suffix(1);
    if (name.empty()) return 0;
    if (!isSeparator(name.back())) return std::nullopt;
    name.remove_suffix(1);
    // "gm_0_N": the slot number before the word, when it stands as a word of its own.
    const std::size_t digits = trailingDigits(name);
    if (digits > 0 && (digits == name.size() || isSeparator(name[name.size() - digits - 1])))
        return numberAtEnd(name);
    return 0;
}

}  // namespace sim::check
