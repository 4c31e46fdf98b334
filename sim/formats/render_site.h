#pragma once
// How scenes and traces name the host's render sites: a vehicle is rendered through the call site
// or the jump site, and a scene may also have it alternate between the two.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sim {

enum class RenderSite { call, jump, alternate };

// Where one render happens: what a trace's render line says.
inline constexpr RenderSite renderedSites[] = {RenderSite::call, RenderSite::jump};
// What a scene's vehicle may choose.
inline constexpr RenderSite sceneSites[] = {RenderSite::call, RenderSite::jump,
                                            RenderSite::alternate};

// "call", "jump" or "alternate".
const char* siteName(RenderSite site);

// The site of that name among the allowed ones.
std::optional<RenderSite> siteNamed(std::string_view name, std::span<const RenderSite> allowed);

// The allowed names as a message lists them: "call", "jump" or "alternate".
std::string siteChoices(std::span<const RenderSite> allowed);

}  // namespace sim
