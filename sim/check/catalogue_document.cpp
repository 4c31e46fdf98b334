#include "sim/check/catalogue_document.h"

#include <vector>

#include "host/host_interface.h"
#include "sim/check/accepted_values.h"
#include "sim/check/check_document.h"
#include "sim/check/document_words.h"
#include "sim/formats/scene.h"
#include "sim/formats/vehicle_kind.h"

namespace sim::check {

namespace {

// The values that check accepts without a warning, so a tool offers no other.
std::string rangeJson(Component component, const ParameterRule& rule) {
    const AcceptedValues accepted = acceptedValues(component, rule);
    return "[" + std::to_string(accepted.low) + "," + std::to_string(accepted.high) + "]";
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

std::string parameterJson(Component component, const ParameterRule& rule) {
    return JsonObject()
        .text("marker", rule.pattern.marker)
        .text("label", rule.label)
        .text("unit", rule.unit)
        .raw("default", rule.defaultText)
        .text("conversion", conversionWord(rule.conversion))
        .boolean("sign", rule.pattern.allowsMinus)
        .raw("range", rangeJson(component, rule))
        .close();
}

}  // namespace

std::string catalogueDocument() {
    std::vector<std::string> components;
    for (const ComponentEntry& entry : componentCatalogue) {
        std::vector<std::string> parameters;
        for (const ParameterRule& rule : entry.parameters)
            parameters.push_back(parameterJson(entry.component, rule));
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
