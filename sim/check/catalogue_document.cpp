#include "sim/check/catalogue_document.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "host/host_interface.h"
#include "sim/check/check_document.h"
#include "sim/check/document_words.h"
#include "sim/formats/scene.h"
#include "sim/formats/vehicle_kind.h"

namespace sim::check {

namespace {

// The values a name can give: a number written without a sign is at least 0.
std::string rangeJson(const ParameterRule& rule) {
    std::string low, high;
    if (rule.conversion == Conversion::integer) {
        low =
            std::to_string(rule.pattern.allowsMinus ? std::numeric_limits<std::int32_t>::min() : 0);
        high = std::to_string(std::numeric_limits<std::int32_t>::max());
    } else {
        const float largest = std::numeric_limits<float>::max();
        appendFloat(low, rule.pattern.allowsMinus ? -largest : 0.0f);
        appendFloat(high, largest);
    }
    return "[" + low + "," + high + "]";
}

// What a tool needs to make a ride of its own or read one: the vehicle kinds, as --vehicle names
// them, and the host's facts a trace leaves to the reader.
std::string vehicleKindsJson() {
    std::vector<std::string> kinds;
    for (const VehicleKindInfo& kind : vehicleKinds()) {
        kinds.push_back(JsonObject()
                            .text("name", kind.name)
                            .integer("class", kind.vehicleClass)
                            .integer("gears", kind.defaultGears)
                            .close());
    }
    return jsonArray(kinds);
}

std::string parameterJson(const ParameterRule& rule) {
    return JsonObject()
        .text("marker", rule.pattern.marker)
        .text("label", rule.label)
        .text("unit", rule.unit)
        .raw("default", rule.defaultText)
        .text("conversion", conversionWord(rule.conversion))
        .boolean("sign", rule.pattern.allowsMinus)
        .raw("range", rangeJson(rule))
        .close();
}

}  // namespace

std::string catalogueDocument() {
    std::vector<std::string> components;
    for (const ComponentEntry& entry : componentCatalogue) {
        std::vector<std::string> parameters;
        for (const ParameterRule& rule : entry.parameters)
            parameters.push_back(parameterJson(rule));
        JsonObject component;
        component.text("key", entry.key)
            .text("title", entry.title)
            .raw("axis", jsonQuotedOrNull(axisWord(entry.axis)))
            .text("motion", motionWord(entry.motion))
            .raw("children", jsonQuotedOrNull(childFramesWord(entry.children)))
            .raw("parameters", jsonArray(parameters));
        if (entry.children == ChildFrames::odometerWheels) {
            component.integer("wheels", static_cast<long long>(odometerWheelCount))
                .text("kilometres", kilometresMarker);
        }
        components.push_back(component.close());
    }
    return documentHead()
               .text("prefix", componentPrefix)
               .raw("components", jsonArray(components))
               .raw("vehicles", vehicleKindsJson())
               .integer("renderFlag", host::renderFlag)
               .integer("ticksPerSecond", ticksPerSecond)
               .close() +
           "\n";
}

}  // namespace sim::check
