#include "sim/check/check_document.h"

#include "sim/check/child_slots.h"
#include "sim/check/document_words.h"
#include "sim/check/frame_warnings.h"
#include "sim/formats/json_reader.h"
#include "vorlix_version.h"

namespace sim::check {

namespace {

std::string parameterJson(const Parameter& parameter) {
    return JsonObject()
        .text("label", parameter.rule->label)
        .text("unit", parameter.rule->unit)
        .text("marker", parameter.rule->pattern.marker)
        .text("text", parameter.text)
        .text("source", parameter.fromName ? "name" : "default")
        .boolean("converts", parameter.converts)
        // Written as the text output shows it, which is the shortest form that reads back.
        .raw("value", parameter.converts ? parameter.value : "null")
        .close();
}

// Texts about a component's child slots, or null for a component without them.
std::string slotsJson(Component component, const std::vector<std::string>& texts) {
    if (catalogueEntry(component).children == ChildFrames::none) return "null";
    std::vector<std::string> quoted;
    for (const std::string& text : texts) quoted.push_back(jsonQuoted(text));
    return jsonArray(quoted);
}

std::string componentJson(const ComponentUse& use, const std::vector<ChildFrame>& children,
                          const std::string* statePath) {
    const ComponentEntry& entry = catalogueEntry(use.component);
    std::vector<std::string> parameters;
    for (const Parameter& parameter : use.parameters)
        parameters.push_back(parameterJson(parameter));
    return JsonObject()
        .text("key", entry.key)
        .text("title", entry.title)
        .raw("axis", jsonQuotedOrNull(axisWord(entry.axis)))
        .text("motion", motionWord(entry.motion))
        .raw("parameters", jsonArray(parameters))
        .raw("detail", jsonQuotedOrNull(use.detail))
        // The children in slot order, and each slot with its child as the text shows it.
        .raw("slots", slotsJson(use.component, namesInSlotOrder(use.component, children)))
        .raw("slotLines", slotsJson(use.component, slotLines(use.component, children)))
        .raw("usesStateOf", statePath == nullptr ? "null" : jsonQuoted(*statePath))
        .close();
}

// model: the members that name the model and say what it is for; the frames, warnings and
// totals follow.
std::string modelJson(JsonObject model, const ModelReport& report, std::size_t& componentFrames) {
    std::vector<std::string> frames, warnings;
    std::size_t ownFrames = 0;
    for (const FrameReport& frame : report.frames) {
        std::vector<std::string> components;
        const auto& uses = frame.record.components;
        for (std::size_t u = 0; u < uses.size(); ++u) {
            const auto& shared = frame.sharesWith[u];
            components.push_back(
                componentJson(uses[u], frame.record.children,
                              shared ? &report.frames[*shared].namePath : nullptr));
        }
        ownFrames += uses.empty() ? 0 : 1;
        frames.push_back(JsonObject()
                             .text("name", frame.name)
                             .text("path", frame.namePath)
                             .text("place", frame.scenePath)
                             .raw("components", jsonArray(components))
                             .close());
        for (const Warning& warning : frame.warnings) {
            warnings.push_back(
                JsonObject()
                    .text("code", warningCode(warning.kind))
                    .text("path", frame.namePath)
                    .text("place", frame.scenePath)
                    .raw("component", warning.component
                                          ? jsonQuoted(catalogueEntry(*warning.component).key)
                                          : "null")
                    .text("message", warning.message)
                    .close());
        }
    }
    componentFrames += ownFrames;
    return model.raw("frames", jsonArray(frames))
        .raw("warnings", jsonArray(warnings))
        .raw("totals", JsonObject()
                           .integer("componentFrames", static_cast<long long>(ownFrames))
                           .integer("warnings", static_cast<long long>(report.warningCount))
                           .close())
        .close();
}

int statusOf(std::size_t warnings) { return warnings > 0 ? 1 : 0; }

}  // namespace

JsonObject documentHead() {
    JsonObject head;
    head.integer("format", 1).text("tool", "vorlix-sim").text("version", VORLIX_VERSION);
    return head;
}

void CheckDocument::addScene(const std::string& path, const Scene& scene,
                             const std::vector<ModelReport>& models) {
    std::vector<std::string> written;
    std::size_t warnings = 0;
    for (const ModelReport& model : models) {
        std::vector<std::string> vehicles;
        for (const std::size_t v : model.vehicles) {
            vehicles.push_back(JsonObject()
                                   .text("name", scene.vehicles[v].name)
                                   .text("place", memberPath(itemPath("vehicles", v), "model"))
                                   .integer("class", scene.vehicles[v].vehicleClass)
                                   .close());
        }
        JsonObject head;
        head.text("name", scene.vehicles[model.vehicles.front()].model.name)
            .raw("vehicles", jsonArray(vehicles))
            .raw("gears", model.highestGear ? std::to_string(*model.highestGear) : "null");
        written.push_back(modelJson(std::move(head), model, componentFrames_));
        warnings += model.warningCount;
    }
    addFile(path, true, written, warnings);
}

void CheckDocument::addModelFile(const std::string& path, const ModelFileCheck& model) {
    JsonObject head;
    head.text("name", model.modelName).text("vehicle", model.kind).integer("gears", model.gears);
    addFile(path, false, {modelJson(std::move(head), model.report, componentFrames_)},
            model.report.warningCount);
}

void CheckDocument::addFile(const std::string& path, bool scene,
                            const std::vector<std::string>& models, std::size_t warnings) {
    models_ += models.size();
    warnings_ += warnings;
    files_.push_back(JsonObject()
                         .text("path", path)
                         .text("kind", scene ? "scene" : "model")
                         .text("status", warnings > 0 ? "warnings" : "ok")
                         .integer("exitStatus", statusOf(warnings))
                         .raw("error", "null")
                         .raw("models", jsonArray(models))
                         .close());
}

void CheckDocument::addError(const std::string& path, bool scene, const std::string& message) {
    ++errors_;
    files_.push_back(JsonObject()
                         .text("path", path)
                         .text("kind", scene ? "scene" : "model")
                         .text("status", "error")
                         .integer("exitStatus", 2)
                         .text("error", message)
                         .raw("models", "[]")
                         .close());
}

std::string CheckDocument::text(int exitStatus) const {
    return documentHead()
               .raw("files", jsonArray(files_))
               .raw("totals",
                    JsonObject()
                        .integer("files", static_cast<long long>(files_.size()))
                        .integer("models", static_cast<long long>(models_))
                        .integer("componentFrames", static_cast<long long>(componentFrames_))
                        .integer("warnings", static_cast<long long>(warnings_))
                        .integer("errors", static_cast<long long>(errors_))
                        .close())
               .integer("exitStatus", exitStatus)
               .close() +
           "\n";
}

}  // namespace sim::check
