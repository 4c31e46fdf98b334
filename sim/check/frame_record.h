#pragma once
// What the library will make of one frame: its name read once, through the library's own
// name-parameter code, into the components it drives, each parameter with its value and where it
// came from, the markers the library skips, and the frame's children. Warnings are found over
// this record (frame_warnings.h).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "animation/component_catalogue.h"
#include "animation/key_scan.h"
#include "sim/formats/node_scale.h"

namespace sim::check {

// The component's key and title, as the catalogue gives them.
std::string_view componentKey(Component component);
std::string_view componentTitle(Component component);  // "front brake"

struct Parameter {
    const ParameterRule* rule;
    std::string text;  // what the pattern captured, or the default text
    bool fromName = false;
    bool converts = true;  // false: out of range, the library's conversion fails
    std::string value;     // the converted value as shown to the author
};

// An occurrence of a parameter's marker that the library skips, for example "_az-" in
// "vx_fbrake_az-_az12".
struct SkippedMarker {
    std::size_t parameter;  // index into the component's parameters
    std::size_t at;         // byte offset in the name
    std::string shown;      // the occurrence up to the next word, as the author wrote it
    char sign = 0;          // '+' or '-' when a signed number follows the marker
    std::string digits;     // after a plus sign: the number it hides
};

struct ComponentUse {
    Component component;
    std::vector<Parameter> parameters;
    std::string detail;      // children and units, for the components that have them
    bool configures = true;  // every parameter converts
    // Skipped markers, under the first component of the frame whose parameters use the marker.
    std::vector<SkippedMarker> skipped;
};

struct ChildFrame {
    std::string name;
    bool objectsOnlyBelow = false;  // no object of its own, but frames below it have some
    NodeScale scale = {};           // its own, from a model file
};

// A frame above this one whose scale changes how a turn below it looks.
struct ScaledAncestor {
    std::string name;
    NodeScale scale;
};

struct MiscasedMarker {
    std::size_t at;
    std::string text;  // "_KPH"
};

struct FrameRecord {
    std::string name;
    std::vector<ChildFrame> children;
    // The highest gear that vehicles of this model use (set by the scene, or for a model file by
    // --gears or its kind), if known.
    std::optional<int> highestGear;
    bool prefixed = false;        // begins with "vx_": the pass hands it to the animators
    bool prefixMiscased = false;  // "VX_..." and the like
    ComponentSet keys = 0;        // every key the name holds
    ComponentSet foldedKeys = 0;  // with no key: the keys of the lower-cased name
    bool kilometres = false;      // holds "_kph"
    std::optional<MiscasedMarker> kilometresMiscased;  // without "_kph": the first "_KPH" or so
    std::vector<ComponentUse> components;              // in the order the pass runs them
    // From a model file; a scene's frames carry no transform. The nearest ancestors, if any, whose
    // scale differs between axes, and whose scale mirrors.
    NodeScale scale;
    std::optional<ScaledAncestor> nonUniformAbove;
    std::optional<ScaledAncestor> mirroredAbove;
};

FrameRecord readFrame(std::string_view name, std::vector<ChildFrame> children,
                      std::optional<int> highestGear);

// The marker and the text it carries, quoted: "_az-30".
std::string written(const Parameter& parameter);
// "from \"_az-30\"" or "default".
std::string whereFrom(const Parameter& parameter);

// The parameter's value as the author should see it, for example -30 or
//   out of range ("_az99999999999")
std::string shownValue(const Parameter& parameter);

// One line for a component, for example
//   front brake: max angle -30 (from "_az-30")
std::string describeComponent(const ComponentUse& use);

}  // namespace sim::check
