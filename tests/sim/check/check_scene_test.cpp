// vorlix-sim check over a whole model and scene: frames that share a key, sets modelled as
// groups, one report per model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim/check/check_scene.h"

namespace sim::check {
namespace {

using ::testing::HasSubstr;
using K = WarningKind;

hostsim::FrameShape frame(std::string name, std::vector<hostsim::FrameShape> children = {}) {
    hostsim::FrameShape rule;
    rule.name = std::move(name);
    rule.children = std::move(children);
    return rule;
}

std::vector<std::pair<std::string, K>> warningsOf(const ModelReport& model) {
    std::vector<std::pair<std::string, K>> out;
    for (const FrameReport& f : model.frames) {
        for (const Warning& w : f.warnings) out.emplace_back(f.namePath, w.kind);
    }
    return out;
}

TEST(CheckModel, SecondFrameWithAKeySharesTheFirstOnesState) {
    // The second brake's own angle of 0 would never move it, but it is never read: only the sharing
    // is reported. The needle that cannot be configured leaves it to the next one.
    const auto root =
        frame("bike", {frame("bars", {frame("vx_fbrake_az-30"), frame("vx_fbrake")}),
                       frame("vx_rbrake_ax99999999999"), frame("vx_rbrake"),
                       frame("vx_sm_m" + std::string(12, '9')), frame("vx_sm_m220"),
                       frame("vx_sm_m180"), frame("vx_chain", {frame("a")}), frame("vx_chain")});
    const ModelReport model = checkModel(root, "vehicles[0].model", std::nullopt);
    const std::vector<std::pair<std::string, K>> expected = {
        {"bike/bars/vx_fbrake", K::sharedKey},
        {"bike/vx_rbrake_ax99999999999", K::outOfRange},
        {"bike/vx_rbrake", K::sharedKey},
        {"bike/vx_sm_m999999999999", K::outOfRange},
        {"bike/vx_sm_m999999999999", K::sharedKey},
        {"bike/vx_sm_m180", K::sharedKey},
        {"bike/vx_chain", K::sharedKey},
    };
    EXPECT_EQ(warningsOf(model), expected);
    EXPECT_EQ(model.warningCount, expected.size());
    ASSERT_EQ(model.frames.size(), 9u);  // the prefixed ones
    EXPECT_EQ(model.frames[0].scenePath, "vehicles[0].model.children[0].children[0]");
    EXPECT_THAT(
        model.frames[1].warnings[0].message,
        HasSubstr(
            "shares its state with bike/bars/vx_fbrake_az-30, the first frame in the walk with "
            "\"vx_fbrake\": its parameters (max angle -30) apply to both"));
    // A first frame whose parameter does not convert still decides for both.
    EXPECT_THAT(model.frames[3].warnings[0].message,
                HasSubstr("(max angle out of range (\"_ax99999999999\")) apply to both"));
    EXPECT_EQ(model.frames[1].sharesWith[0], std::optional<std::size_t>(0));
    EXPECT_EQ(model.frames[4].sharesWith[0], std::optional<std::size_t>(5));
    EXPECT_THAT(model.frames[6].warnings[0].message,
                HasSubstr("bike/vx_sm_m220, the first frame in the walk with \"vx_sm\" whose "
                          "parameters convert"));
    EXPECT_THAT(model.frames[8].warnings[0].message, HasSubstr("never this frame's children"));
}

hostsim::FrameShape group(std::string name, std::vector<hostsim::FrameShape> children) {
    hostsim::FrameShape shape = frame(std::move(name), std::move(children));
    shape.objects = 0;
    return shape;
}

// A set whose objects all hang below it never hides: one warning per such set, also deep down;
// an empty set or a set with objects of its own is no group.
TEST(CheckModel, LinkSetsAndGearDisplaysModelledAsGroups) {
    const auto root = frame(
        "bike",
        {frame("vx_chain", {group("links_a", {frame("mesh_a")}), frame("links_b"),
                            group("empty", {}), group("links_c", {group("g", {frame("mesh")})})}),
         frame("vx_gm", {frame("gear_n"), group("gear_1", {frame("digit")})}),
         frame("vx_fbrake_az-30", {group("lever", {frame("mesh")})}),
         frame("vx_chain_upper", {group("links", {frame("mesh")})})});
    const ModelReport model = checkModel(root, "vehicles[0].model", std::nullopt);
    const std::vector<std::pair<std::string, K>> expected = {
        {"bike/vx_chain", K::setAsGroup},
        {"bike/vx_chain", K::setAsGroup},
        {"bike/vx_gm", K::setAsGroup},
        {"bike/vx_chain_upper", K::sharedKey},  // its sets are never shown
    };
    EXPECT_EQ(warningsOf(model), expected);
    const auto& chain = model.frames[0].warnings;
    EXPECT_EQ(
        chain[0].message,
        "chain: link set 1 (\"links_a\") has no object of its own, only frames below it have: "
        "the chain shows and hides a link set's own objects, so this one never hides; make "
        "each link set one mesh object");
    EXPECT_THAT(chain[1].message, HasSubstr("link set 4 (\"links_c\")"));
    EXPECT_THAT(model.frames[1].warnings[0].message,
                HasSubstr("gear meter: the display for gear 1 (\"gear_1\") has no object"));
}

TEST(CheckScene, OneReportPerModelWithTheGearsItsVehiclesUse) {
    Scene scene;
    scene.ticks = 10;
    const auto meter = frame("bike", {frame("vx_gm", {frame("n"), frame("1"), frame("2")})});
    for (const char* name : {"a", "b", "c"}) {
        SceneVehicle v;
        v.name = name;
        v.model = meter;
        scene.vehicles.push_back(v);
    }
    scene.vehicles[2].model.children[0].name = "vx_gm_dash";  // another model
    auto setGear = [&scene](int vehicle, std::uint8_t gear) {
        TimelineEntry entry;
        entry.vehicle = vehicle;
        entry.fields.currentGear = gear;
        scene.timeline.push_back(entry);
    };
    setGear(0, 1);
    setGear(1, 3);  // b shares a's model: three displays are too few
    setGear(2, 2);

    const std::vector<ModelReport> models = checkScene(scene);
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0].vehicles, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(models[0].highestGear, std::optional<int>(3));
    EXPECT_EQ(warningsOf(models[0]),
              (std::vector<std::pair<std::string, K>>{{"bike/vx_gm", K::fewGearDisplays}}));
    EXPECT_EQ(models[1].vehicles, (std::vector<std::size_t>{2}));
    EXPECT_EQ(models[1].warningCount, 0u);

    const std::string text = formatCheck(scene, models);
    EXPECT_THAT(
        text,
        HasSubstr(
            "model \"bike\" of vehicles \"a\" (vehicles[0].model), \"b\" (vehicles[1].model)\n"));
    EXPECT_THAT(
        text,
        HasSubstr(
            "    warning: bike/vx_gm (vehicles[0].model.children[0]): gear meter: 3 displays"));
    EXPECT_THAT(text, HasSubstr("\n2 models, 1 warning\n"));
}

}  // namespace
}  // namespace sim::check
