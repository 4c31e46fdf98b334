#pragma once
// The finders of the warnings table (frame_warnings.cpp), each over a frame's record.

#include <string>
#include <vector>

#include "sim/check/frame_warnings.h"

namespace sim::check {

// Too few children for what the component shows in turn (children_warnings.cpp).
void findNoChainLinks(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findNoGearDisplays(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findFewGearDisplays(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findFewOdometerWheels(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
// A child whose name says another slot than the one it fills: a gear display named for another
// gear, wheels or link sets whose numbers do not rise in the order they are used.
void findSlotNameMismatch(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
// Link sets and gear-meter displays modelled as groups. The chain and the gear meter show and
// hide a child frame's own objects only, not those of the frames below it, so a set whose objects
// all hang below it never hides. Exporters write such a group for several meshes, since a model
// node holds one mesh.
void findSetsAsGroups(const FrameRecord&, std::vector<FrameFinding>&);

// Parameters that fail to convert or leave a lever or needle still (parameter_warnings.cpp).
void findOutOfRange(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findZeroMaximum(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findZeroAngle(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findNegativeStroke(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findKphOnSpeedometer(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findMalformedMarkers(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);

// Values the library reads without complaint but that no working model means: an angle of more
// than a full turn, a needle's full scale far beyond any vehicle's speed, a needle left on its
// defaults (plausibility_warnings.cpp).
void findAngleBeyondTurn(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findImplausibleNeedleRange(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findNeedleDefaults(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);

// Scales that change how a moving part turns (scale_warnings.cpp): one that differs between axes
// on a frame above the part shears it as it turns, and a negative one, in the part or above it,
// leaves which way it turns to the host.
void findNonUniformParentScale(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);
void findMirroredMovingPart(const FrameRecord&, const ComponentUse&, std::vector<std::string>&);

// The prefix and the keys of the name as a whole (name_warnings.cpp).
void findPrefixCase(const FrameRecord&, std::vector<FrameFinding>&);
void findKeyWithoutPrefix(const FrameRecord&, std::vector<FrameFinding>&);
void findKphCase(const FrameRecord&, std::vector<FrameFinding>&);
void findNoKey(const FrameRecord&, std::vector<FrameFinding>&);

}  // namespace sim::check
