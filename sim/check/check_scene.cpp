#include "sim/check/check_scene.h"

#include <algorithm>
#include <array>

#include "sim/check/child_slots.h"
#include "sim/formats/json_reader.h"
#include "sim/formats/json_writing.h"

namespace sim::check {

namespace {

bool sameModel(const hostsim::FrameShape& a, const hostsim::FrameShape& b) {
    if (a.name != b.name || a.objects != b.objects || a.hidden != b.hidden ||
        a.children.size() != b.children.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        if (!sameModel(a.children[i], b.children[i])) return false;
    }
    return true;
}

bool objectsBelow(const hostsim::FrameShape& frame) {
    for (const hostsim::FrameShape& child : frame.children) {
        if (child.objects > 0 || objectsBelow(child)) return true;
    }
    return false;
}

// The nearest frames above one, if any, whose scale changes how turns below them look.
struct ScaledAbove {
    std::optional<ScaledAncestor> nonUniform;
    std::optional<ScaledAncestor> mirrored;
};

// Depth-first pre-order, as the update pass walks. scales: each frame's own, in walk order, from a
// model file; empty for a scene, whose frames carry none.
void walk(const hostsim::FrameShape& frame, const std::string& namePath,
          const std::string& scenePath, std::optional<int> highestGear, const ScaledAbove& above,
          const std::vector<NodeScale>& scales, std::vector<FrameReport>& out) {
    const std::size_t index = out.size();
    std::vector<ChildFrame> children;
    for (const hostsim::FrameShape& child : frame.children)
        children.push_back({child.name, child.objects == 0 && objectsBelow(child), {}});
    FrameRecord record = readFrame(frame.name, std::move(children), highestGear);
    if (index < scales.size()) record.scale = scales[index];
    record.nonUniformAbove = above.nonUniform;
    record.mirroredAbove = above.mirrored;
    ScaledAbove below = above;
    if (!isUniform(record.scale)) below.nonUniform = ScaledAncestor{frame.name, record.scale};
    if (record.scale.mirrored) below.mirrored = ScaledAncestor{frame.name, record.scale};
    out.push_back({frame.name, namePath, scenePath, std::move(record), {}, {}});
    for (std::size_t i = 0; i < frame.children.size(); ++i) {
        const std::size_t child = out.size();
        walk(frame.children[i], namePath + "/" + frame.children[i].name,
             itemPath(memberPath(scenePath, "children"), i), highestGear, below, scales, out);
        out[index].record.children[i].scale = out[child].record.scale;
    }
    // Warnings need the children's scales, known once they are walked.
    FrameReport& report = out[index];
    report.warnings = frameWarnings(report.record);
    report.sharesWith.assign(report.record.components.size(), std::nullopt);
}

bool isNeedle(Component component) { return catalogueEntry(component).motion == Motion::needle; }

// A later lever or needle frame with a shared key still turns, with the first frame's parameters,
// so what its scale does to the turn still matters.
bool aboutItsOwnTurn(const Warning& warning) {
    const Motion motion = catalogueEntry(*warning.component).motion;
    return (warning.kind == WarningKind::nonUniformParentScale ||
            warning.kind == WarningKind::mirroredMovingPart) &&
           (motion == Motion::lever || motion == Motion::needle);
}

std::string sharedMessage(Component component, const FrameReport& first,
                          const ComponentUse& firstUse) {
    const std::string title(componentTitle(component));
    std::string message = title + ": shares its state with " + first.namePath +
                          ", the first frame in the walk with " + "\"" +
                          std::string(componentKey(component)) + "\"";
    if (isNeedle(component)) message += " whose parameters convert";
    switch (catalogueEntry(component).children) {
        case ChildFrames::chainLinkSets:
            return message + ": only its link sets are shown, never this frame's children";
        case ChildFrames::gearDisplays:
            return message + ": only its displays are shown, never this frame's children";
        case ChildFrames::odometerWheels:
            return message +
                   ": its digit wheels and unit are used, this frame's children never turn";
        case ChildFrames::none:
            break;
    }
    std::string values;
    for (const Parameter& parameter : firstUse.parameters) {
        values += (values.empty() ? "" : ", ") + std::string(parameter.rule->label) + " " +
                  shownValue(parameter);
    }
    return message + ": its parameters (" + values +
           ") apply to both, this frame's own are not read";
}

// Frames with the same key share one state: the first in the walk configures it (for a needle,
// the first whose parameters convert, since a failed conversion leaves it to the next frame).
void resolveSharedKeys(std::vector<FrameReport>& frames) {
    for (std::size_t c = 0; c < componentCount; ++c) {
        const auto component = static_cast<Component>(c);
        std::vector<std::pair<std::size_t, std::size_t>>
            users;  // frame, index of the component there
        for (std::size_t f = 0; f < frames.size(); ++f) {
            const auto& uses = frames[f].record.components;
            for (std::size_t u = 0; u < uses.size(); ++u) {
                if (uses[u].component == component) users.emplace_back(f, u);
            }
        }
        if (users.size() < 2) continue;
        const auto winner = std::find_if(users.begin(), users.end(), [&](const auto& user) {
            return !isNeedle(component) ||
                   frames[user.first].record.components[user.second].configures;
        });
        if (winner == users.end()) continue;  // none configures: each frame says why
        const FrameReport& first = frames[winner->first];
        const ComponentUse& firstUse = first.record.components[winner->second];
        for (const auto& [f, u] : users) {
            if (f == winner->first) continue;
            FrameReport& frame = frames[f];
            auto& warnings = frame.warnings;
            // A later frame's own parameters and children are never used, so what is wrong with
            // them does not matter; an earlier needle keeps the warning that says why it did not
            // configure.
            if (f > winner->first)
                warnings.erase(std::remove_if(warnings.begin(), warnings.end(),
                                              [&](const Warning& w) {
                                                  return w.component == component &&
                                                         !aboutItsOwnTurn(w);
                                              }),
                               warnings.end());
            warnings.push_back(
                {WarningKind::sharedKey, component, sharedMessage(component, first, firstUse)});
            frame.sharesWith[u] = winner->first;
        }
    }
}

// The frames in walk order, as the library sees them together.
ModelReport reportOf(std::vector<FrameReport> all, std::optional<int> highestGear) {
    ModelReport report;
    report.highestGear = highestGear;
    resolveSharedKeys(all);
    // Keep the frames with something to say; a kept frame refers to others by index into `all`,
    // so indexes are rewritten.
    std::vector<std::size_t> newIndex(all.size(), 0);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!all[i].record.prefixed && all[i].warnings.empty()) continue;
        newIndex[i] = report.frames.size();
        report.warningCount += all[i].warnings.size();
        report.frames.push_back(std::move(all[i]));
    }
    for (FrameReport& frame : report.frames) {
        for (auto& shared : frame.sharesWith) {
            if (shared) shared = newIndex[*shared];
        }
    }
    return report;
}

}  // namespace

ModelReport checkModel(const hostsim::FrameShape& root, const std::string& modelPath,
                       std::optional<int> highestGear) {
    std::vector<FrameReport> all;
    walk(root, root.name, modelPath, highestGear, {}, {}, all);
    return reportOf(std::move(all), highestGear);
}

ModelReport checkModel(const hostsim::FrameShape& root, const std::vector<std::string>& places,
                       const std::vector<NodeScale>& scales, std::optional<int> highestGear) {
    std::vector<FrameReport> all;
    walk(root, root.name, "", highestGear, {}, scales, all);
    for (std::size_t i = 0; i < all.size(); ++i) all[i].scenePath = places.at(i);
    return reportOf(std::move(all), highestGear);
}

std::vector<ModelReport> checkScene(const Scene& scene) {
    std::vector<std::vector<std::size_t>> groups;
    for (std::size_t v = 0; v < scene.vehicles.size(); ++v) {
        auto group =
            std::find_if(groups.begin(), groups.end(), [&](const std::vector<std::size_t>& g) {
                return sameModel(scene.vehicles[g.front()].model, scene.vehicles[v].model);
            });
        if (group == groups.end()) {
            groups.push_back({v});
        } else {
            group->push_back(v);
        }
    }
    std::vector<ModelReport> reports;
    for (const std::vector<std::size_t>& group : groups) {
        std::optional<int> highestGear;
        for (const TimelineEntry& entry : scene.timeline) {
            if (entry.vehicle < 0 || !entry.fields.currentGear) continue;
            if (std::find(group.begin(), group.end(), static_cast<std::size_t>(entry.vehicle)) ==
                group.end())
                continue;
            highestGear =
                std::max(highestGear.value_or(0), static_cast<int>(*entry.fields.currentGear));
        }
        const std::string modelPath = memberPath(itemPath("vehicles", group.front()), "model");
        ModelReport report =
            checkModel(scene.vehicles[group.front()].model, modelPath, highestGear);
        report.vehicles = group;
        reports.push_back(std::move(report));
    }
    return reports;
}

std::string formatCheck(const Scene& scene, const std::vector<ModelReport>& models) {
    std::vector<std::string> headings;
    for (const ModelReport& model : models) {
        const SceneVehicle& shown = scene.vehicles[model.vehicles.front()];
        std::string heading = "model " + jsonQuoted(shown.model.name) + " of vehicle" +
                              (model.vehicles.size() > 1 ? "s " : " ");
        for (std::size_t i = 0; i < model.vehicles.size(); ++i) {
            const std::size_t v = model.vehicles[i];
            heading += (i == 0 ? "" : ", ") + jsonQuoted(scene.vehicles[v].name) + " (" +
                       memberPath(itemPath("vehicles", v), "model") + ")";
        }
        headings.push_back(std::move(heading));
    }
    return formatReports(headings, models);
}

std::string warningText(const FrameReport& frame, const Warning& warning) {
    return frame.namePath + " (" + frame.scenePath + "): " + warning.message;
}

std::string formatReports(const std::vector<std::string>& headings,
                          const std::vector<ModelReport>& models) {
    std::string out;
    std::size_t warnings = 0;
    for (std::size_t m = 0; m < models.size(); ++m) {
        const ModelReport& model = models[m];
        out += headings.at(m) + "\n";
        std::size_t componentFrames = 0;
        for (const FrameReport& frame : model.frames) {
            out += "  " + frame.namePath + "  (" + frame.scenePath + ")\n";
            const auto& uses = frame.record.components;
            componentFrames += uses.empty() ? 0 : 1;
            for (std::size_t u = 0; u < uses.size(); ++u) {
                if (frame.sharesWith[u]) {
                    out += "    " + std::string(componentTitle(uses[u].component)) +
                           ": uses the state of " + model.frames[*frame.sharesWith[u]].namePath +
                           "\n";
                } else {
                    out += "    " + describeComponent(uses[u]) + "\n";
                    const std::string slots =
                        describeSlots(uses[u].component, frame.record.children);
                    if (!slots.empty()) out += "      " + slots + "\n";
                }
            }
            for (const Warning& warning : frame.warnings) {
                out += "    warning: " + warningText(frame, warning) + "\n";
            }
        }
        if (model.frames.empty()) out += "  no \"vx_\" frames\n";
        out += "  " + std::to_string(componentFrames) +
               (componentFrames == 1 ? " component frame, " : " component frames, ") +
               std::to_string(model.warningCount) +
               (model.warningCount == 1 ? " warning" : " warnings") + "\n\n";
        warnings += model.warningCount;
    }
    out += std::to_string(models.size()) + (models.size() == 1 ? " model, " : " models, ") +
           std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") + "\n";
    return out;
}

}  // namespace sim::check
