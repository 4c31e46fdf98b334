// What the checker reads from a frame name and warns of must be what the library does with it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/check/check_scene.h"
#include "sim/check/frame_warnings.h"

namespace sim::check {
namespace {

using ::testing::HasSubstr;
using K = WarningKind;

struct Expected {
    K kind;
    const char* text;  // part of the message
};

struct NameCase {
    std::string name;
    std::size_t children;
    std::optional<int> highestGear;
    std::vector<std::string> components;  // as the report shows them
    std::vector<Expected> warnings;
};

const std::string forty9s(40, '9');

const NameCase nameCases[] = {
    // Levers: the angle after the marker, the last well-formed occurrence winning.
    {"vx_fbrake_az-30", 0, {}, {"front brake: max angle -30 degrees (from \"_az-30\")"}, {}},
    {"vx_fbrake_az30_az12", 0, {}, {"front brake: max angle 12 degrees (from \"_az12\")"}, {}},
    {"vx_fbrake_az-_az7",
     0,
     {},
     {"front brake: max angle 7 degrees (from \"_az7\")"},
     {{K::malformedMarker,
       "\"_az-\" at character 10 is skipped: \"_az\" is not followed by a number, the max angle "
       "comes from \"_az7\""}}},
    {"vx_fbrake_azx",
     0,
     {},
     {"front brake: max angle 0 degrees (default)"},
     {{K::zeroAngle, "the lever never moves"},
      {K::malformedMarker,
       "\"_azx\" at character 10 is skipped: \"_az\" is not followed by a number, so the max "
       "angle is the default 0"}}},
    {"vx_fbrake_az+30",
     0,
     {},
     {"front brake: max angle 0 degrees (default)"},
     {{K::zeroAngle, "the lever never moves"},
      {K::malformedMarker,
       "\"_az+30\" at character 10 is skipped: a plus sign after \"_az\" is not read, so the max "
       "angle is the default 0; write \"_az30\""}}},
    {"vx_rpm_m80_+270",
     0,
     {},
     {"rev counter: max value 80 (from \"_m80\"), max angle 100 degrees (default)"},
     {{K::malformedMarker,
       "\"_+270\" at character 11 is skipped: a plus sign after \"_\" is not read, so the max "
       "angle is the default 100; write \"_270\""}}},
    {"vx_fbrake_ax30",
     0,
     {},
     {"front brake: max angle 0 degrees (default)"},
     {{K::zeroAngle, "after \"_az\""}}},
    {"vx_rbrake_ax25", 0, {}, {"rear brake: max angle 25 degrees (from \"_ax25\")"}, {}},
    {"vx_rbrake_ax2147483647",
     0,
     {},
     {"rear brake: max angle 2147483647 degrees (from \"_ax2147483647\")"},
     {{K::angleBeyondTurn, "more than a full turn"}}},
    {"vx_rbrake_ax2147483648",
     0,
     {},
     {"rear brake: max angle out of range (\"_ax2147483648\")"},
     {{K::outOfRange, "keeps max angle 0 and never moves"}}},
    {"vx_cl_az20", 0, {}, {"clutch lever: max angle 20 degrees (from \"_az20\")"}, {}},
    {"vx_clamp",
     0,
     {},
     {"clutch lever: max angle 0 degrees (default)"},
     {{K::zeroAngle, "clutch lever"}}},
    // Two keys in one name: both components, one shared marker reported once.
    {"vx_fbrake_vx_cl_az-_az20",
     0,
     {},
     {"front brake: max angle 20 degrees (from \"_az20\")",
      "clutch lever: max angle 20 degrees (from \"_az20\")"},
     {{K::malformedMarker, "\"_az-\""}}},
    {"vx_gl_o12", 0, {}, {"gear lever: stroke 12 degrees (from \"_o12\")"}, {}},
    {"vx_gl_o-12",
     0,
     {},
     {"gear lever: stroke -12 degrees (from \"_o-12\")"},
     {{K::negativeStroke, "write \"_o12\""}}},
    {"vx_gl_o0",
     0,
     {},
     {"gear lever: stroke 0 degrees (from \"_o0\")"},
     {{K::zeroAngle, "(from \"_o0\")"}}},
    {"vx_gl", 0, {}, {"gear lever: stroke 0 degrees (default)"}, {{K::zeroAngle, "never moves"}}},
    // The "_o" of the odometer's key is no gear-lever marker.
    {"vx_gl_o12_vx_om",
     6,
     {},
     {"gear lever: stroke 12 degrees (from \"_o12\")",
      "odometer: 6 digit wheels, counts miles (no \"_kph\")"},
     {}},
    // Needles.
    {"vx_sm_m220_r270",
     0,
     {},
     {"speedometer: max speed 220 km/h (from \"m220\"), max angle 270 degrees (from \"r270\")"},
     {}},
    {"vx_sm",
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle 100 degrees (default)"},
     {{K::needleDefaults,
       "speedometer: no parameters in the name, so the defaults apply: max speed 100 km/h, max "
       "angle 100 degrees; write them after \"m\" and \"r\""}}},
    {"vx_sm220_r270",
     0,
     {},
     {"speedometer: max speed 220 km/h (from \"m220\"), max angle 270 degrees (from \"r270\")"},
     {}},
    {"vx_sm_needle_main",
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle 100 degrees (default)"},
     {{K::needleDefaults, "the defaults apply"}}},
    {"vx_rpm",
     0,
     {},
     {"rev counter: max value 100 (default), max angle 100 degrees (default)"},
     {{K::needleDefaults,
       "max value 100, max angle 100 degrees; write them after \"_m\" and \"_\""}}},
    // Values the library takes but no model means.
    {"vx_sm_m1000_r360",
     0,
     {},
     {"speedometer: max speed 1000 km/h (from \"m1000\"), max angle 360 degrees (from \"r360\")"},
     {}},
    {"vx_sm_m5000_r720",
     0,
     {},
     {"speedometer: max speed 5000 km/h (from \"m5000\"), max angle 720 degrees (from \"r720\")"},
     {{K::angleBeyondTurn,
       "speedometer: max angle 720 degrees (from \"r720\") is more than a full turn: the needle "
       "turns round more than once"},
      {K::implausibleNeedleRange,
       "speedometer: max speed 5000 km/h (from \"m5000\"): the needle reaches full scale only at "
       "5000 km/h, so it barely moves"}}},
    {"vx_rpm_m8000_270",
     0,
     {},
     {"rev counter: max value 8000 (from \"_m8000\"), max angle 270 degrees (from \"_270\")"},
     {{K::implausibleNeedleRange,
       "rev counter: max value 8000 (from \"_m8000\"): the needle reaches full scale only at 8000 "
       "km/h in first gear"}}},
    {"vx_fbrake_az-361",
     0,
     {},
     {"front brake: max angle -361 degrees (from \"_az-361\")"},
     {{K::angleBeyondTurn, "is more than a full turn: the lever turns round more than once"}}},
    {"vx_cl_az-360", 0, {}, {"clutch lever: max angle -360 degrees (from \"_az-360\")"}, {}},
    {"vx_gl_o400",
     0,
     {},
     {"gear lever: stroke 400 degrees (from \"_o400\")"},
     {{K::angleBeyondTurn, "gear lever: stroke 400 degrees"}}},
    {"vx_om_KPH",
     6,
     {},
     {"odometer: 6 digit wheels, counts miles (no \"_kph\")"},
     {{K::kphCase,
       "odometer: \"_KPH\" at character 6 is not \"_kph\": markers are case-sensitive, so the "
       "odometer counts miles; did you mean \"_kph\"?"}}},
    {"vx_om_kph_Kph", 6, {}, {"odometer: 6 digit wheels, counts kilometres (\"_kph\")"}, {}},
    {"vx_sm_m220_r270_Kph",
     0,
     {},
     {"speedometer: max speed 220 km/h (from \"m220\"), max angle 270 degrees (from \"r270\")"},
     {{K::kphCase, "speedometer: \"_Kph\" at character 16 is not \"_kph\""}}},
    {"vx_gm_KPH", 2, {}, {"gear meter: 2 displays (gears 0 to 1)"}, {}},
    {"vx_sm_m0",
     0,
     {},
     {"speedometer: max speed 0 km/h (from \"m0\"), max angle 100 degrees (default)"},
     {{K::zeroMaximum, "full scale at any forward speed"}}},
    {"vx_sm_r0",
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle 0 degrees (from \"r0\")"},
     {{K::zeroAngle, "the needle never moves"}}},
    {"vx_sm_kph",
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle 100 degrees (default)"},
     {{K::kphOnSpeedometer, "no effect"}, {K::needleDefaults, "the defaults apply"}}},
    {"vx_sm_m220_kph",
     0,
     {},
     {"speedometer: max speed 220 km/h (from \"m220\"), max angle 100 degrees (default)"},
     {{K::kphOnSpeedometer, "no effect on the needle"}}},
    {"vx_sm_m-220",
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle 100 degrees (default)"},
     {{K::malformedMarker, "\"m-220\" at character 7 is skipped: the max speed takes no sign"}}},
    {"vx_sm_r" + forty9s,
     0,
     {},
     {"speedometer: max speed 100 km/h (default), max angle out of range (\"r" + forty9s + "\")"},
     {{K::outOfRange, "out of range for a 32-bit float: this frame never configures the needle"}}},
    {"vx_rpm_m80_270",
     0,
     {},
     {"rev counter: max value 80 (from \"_m80\"), max angle 270 degrees (from \"_270\")"},
     {}},
    {"vx_rpm_270_m80",
     0,
     {},
     {"rev counter: max value 80 (from \"_m80\"), max angle 270 degrees (from \"_270\")"},
     {}},
    {"vx_rpm_m80_needle",
     0,
     {},
     {"rev counter: max value 80 (from \"_m80\"), max angle 100 degrees (default)"},
     {}},
    {"vx_rpm_m0_270",
     0,
     {},
     {"rev counter: max value 0 (from \"_m0\"), max angle 270 degrees (from \"_270\")"},
     {{K::zeroMaximum, "whenever the engine runs"}}},
    {"vx_rpm_mx80_270",
     0,
     {},
     {"rev counter: max value 100 (default), max angle 270 degrees (from \"_270\")"},
     {{K::malformedMarker, "\"_mx80\" at character 7 is skipped"}}},
    {"vx_rpm_m80_-270",
     0,
     {},
     {"rev counter: max value 80 (from \"_m80\"), max angle 100 degrees (default)"},
     {{K::malformedMarker, "\"_-270\" at character 11 is skipped: the max angle takes no sign"}}},
    {"vx_rpm_m99999999999_270",
     0,
     {},
     {"rev counter: max value out of range (\"_m99999999999\"), max angle 270 degrees (from "
      "\"_270\")"},
     {{K::outOfRange, "out of range for a 32-bit integer"}}},
    // Children.
    {"vx_chain", 4, {}, {"chain: 4 link sets"}, {}},
    {"vx_chain", 0, {}, {"chain: 0 link sets"}, {{K::noChainLinks, "no link sets"}}},
    {"vx_gm", 7, 6, {"gear meter: 7 displays (gears 0 to 6), its vehicles use gears up to 6"}, {}},
    {"vx_gm", 3, {}, {"gear meter: 3 displays (gears 0 to 2)"}, {}},
    {"vx_gm",
     3,
     4,
     {"gear meter: 3 displays (gears 0 to 2), its vehicles use gears up to 4"},
     {{K::fewGearDisplays, "gears 3 to 4 hide every display"}}},
    {"vx_gm",
     3,
     3,
     {"gear meter: 3 displays (gears 0 to 2), its vehicles use gears up to 3"},
     {{K::fewGearDisplays, "gear 3 hides every display"}}},
    {"vx_gm", 0, {}, {"gear meter: 0 displays"}, {{K::noGearDisplays, "no display"}}},
    {"vx_om_kph", 6, {}, {"odometer: 6 digit wheels, counts kilometres (\"_kph\")"}, {}},
    {"vx_om",
     4,
     {},
     {"odometer: 4 digit wheels, counts miles (no \"_kph\")"},
     {{K::fewOdometerWheels, "the 2 rightmost digits are not shown"}}},
    {"vx_om",
     5,
     {},
     {"odometer: 5 digit wheels, counts miles (no \"_kph\")"},
     {{K::fewOdometerWheels, "first: the rightmost digit is not shown"}}},
    {"vx_om",
     8,
     {},
     {"odometer: 6 digit wheels (children after the sixth never turn), counts miles (no \"_kph\")"},
     {}},
    // Names no component takes.
    {"vx_", 0, {}, {}, {{K::noKey, "carries no component key"}}},
    {"vx_FBrake_az-30", 0, {}, {}, {{K::noKey, "did you mean \"vx_fbrake\"?"}}},
    {"body_vx_chain",
     3,
     {},
     {},
     {{K::keyWithoutPrefix, "contains \"vx_chain\" but does not begin with \"vx_\""}}},
    {"VX_fbrake_az-30", 0, {}, {}, {{K::prefixCase, "begins with \"VX_\""}}},
    {"wheel_front", 0, {}, {}, {}},
};

TEST(CheckNames, ReportsWhatTheLibraryReadsAndWhatToFix) {
    for (const NameCase& c : nameCases) {
        const FrameRecord record =
            readFrame(c.name, std::vector<ChildFrame>(c.children), c.highestGear);
        const std::vector<Warning> warnings = frameWarnings(record);
        std::vector<std::string> components;
        for (const ComponentUse& use : record.components)
            components.push_back(describeComponent(use));
        EXPECT_EQ(components, c.components) << c.name;
        ASSERT_EQ(warnings.size(), c.warnings.size()) << c.name;
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].kind, c.warnings[i].kind) << c.name << " #" << i;
            EXPECT_THAT(warnings[i].message, HasSubstr(c.warnings[i].text)) << c.name << " #" << i;
        }
    }
}

// A frame of a model file: its name, its own scale and its children.
struct ScaledFrame {
    std::string name;
    NodeScale scale;
    std::vector<ScaledFrame> children;
};

const NodeScale unscaled{};
const NodeScale squashed = scaleOfTrs({1.25f, 0.6f, 1});
const NodeScale mirrored = scaleOfTrs({-1, 1, 1});

void flatten(const ScaledFrame& frame, hostsim::FrameShape& shape, std::vector<NodeScale>& scales) {
    shape.name = frame.name;
    scales.push_back(frame.scale);
    shape.children.resize(frame.children.size());
    for (std::size_t i = 0; i < frame.children.size(); ++i)
        flatten(frame.children[i], shape.children[i], scales);
}

std::vector<ScaledFrame> wheels(std::size_t count, std::size_t mirroredWheel = 0) {
    std::vector<ScaledFrame> out;
    for (std::size_t i = 1; i <= count; ++i)
        out.push_back({"om_" + std::to_string(i), i == mirroredWheel ? mirrored : unscaled, {}});
    return out;
}

TEST(CheckNames, WarnsOfScalesThatShearOrMirrorAMovingPart) {
    const struct {
        const char* what;
        ScaledFrame root;
        std::vector<Expected> warnings;  // in walk order
    } cases[] = {
        {"a needle under a squashed housing",
         {"bike", unscaled, {{"housing", squashed, {{"vx_rpm_m80_270", unscaled, {}}}}}},
         {{K::nonUniformParentScale,
           "rev counter: the needle turns under \"housing\", scaled 1.25, 0.6, 1: a turn under a "
           "scale that differs between axes shears the needle and changes its length; apply the "
           "scale of \"housing\", or parent this frame to an unscaled empty"}}},
        {"any ancestor counts",
         {"bike", squashed, {{"bars", unscaled, {{"vx_fbrake_az-30", unscaled, {}}}}}},
         {{K::nonUniformParentScale, "the lever turns under \"bike\", scaled 1.25, 0.6, 1"}}},
        {"uniform, within an exporter's rounding",
         {"bike",
          scaleOfTrs({2, 2.0001f, 2}),
          {{"vx_fbrake_az-30", unscaled, {}}, {"vx_sm_m220_r270", scaleOfTrs({3, 3, 3}), {}}}},
         {}},
        {"squashed frames that nothing turns below, or that only switch children",
         {"bike",
          unscaled,
          {{"body", squashed, {{"seat", unscaled, {}}}},
           {"vx_gm", squashed, {{"gm_0", squashed, {}}}},
           {"vx_cl_az20", squashed, {}}}},
         {}},
        {"the odometer's wheels turn under its own frame",
         {"bike", unscaled, {{"vx_om", squashed, wheels(6)}}},
         {{K::nonUniformParentScale,
           "odometer: the digit wheels turn under this frame, scaled 1.25, 0.6, 1: a turn under a "
           "scale that differs between axes shears the digit wheels and changes their length; "
           "apply this frame's scale"}}},
        {"a mirrored lever",
         {"bike", unscaled, {{"vx_gl_o12", mirrored, {}}}},
         {{K::mirroredMovingPart,
           "gear lever: this frame has a negative scale, so the lever is mirrored: no tool can "
           "promise which way a mirrored part turns in the game; apply negative scales before "
           "naming moving parts"}}},
        {"a needle under a mirrored matrix",
         {"bike",
          scaleOfMatrix({0, -1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
          {{"vx_sm_m220_r270", unscaled, {}}}},
         {{K::mirroredMovingPart, "\"bike\" above this frame has a negative scale"}}},
        {"a turning matrix mirrors nothing",
         {"bike",
          scaleOfMatrix({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
          {{"vx_sm_m220_r270", unscaled, {}}}},
         {}},
        {"a mirrored digit wheel, and a seventh child that never turns",
         {"bike",
          unscaled,
          {{"vx_om", unscaled, wheels(6, 2)}, {"vx_chain", unscaled, {{"links", mirrored, {}}}}}},
         {{K::mirroredMovingPart, "odometer: digit wheel 2 (\"om_2\") has a negative scale"}}},
        {"only the first six wheels turn",
         {"bike", unscaled, {{"vx_om", unscaled, wheels(7, 7)}}},
         {}},
        {"a second frame with a key still turns",
         {"bike", unscaled, {{"vx_fbrake_az-30", unscaled, {}}, {"vx_fbrake_left", mirrored, {}}}},
         {{K::mirroredMovingPart, "this frame has a negative scale, so the lever is mirrored"},
          {K::sharedKey, "shares its state"}}},
    };
    for (const auto& c : cases) {
        hostsim::FrameShape root;
        std::vector<NodeScale> scales;
        flatten(c.root, root, scales);
        const ModelReport model =
            checkModel(root, std::vector<std::string>(scales.size(), "nodes[0]"), scales, {});
        std::vector<Warning> warnings;
        for (const FrameReport& frame : model.frames)
            warnings.insert(warnings.end(), frame.warnings.begin(), frame.warnings.end());
        ASSERT_EQ(warnings.size(), c.warnings.size()) << c.what;
        for (std::size_t i = 0; i < c.warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].kind, c.warnings[i].kind) << c.what << " #" << i;
            EXPECT_THAT(warnings[i].message, HasSubstr(c.warnings[i].text)) << c.what << " #" << i;
        }
    }
}

}  // namespace
}  // namespace sim::check
