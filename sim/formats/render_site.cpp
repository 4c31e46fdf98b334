#include "sim/formats/render_site.h"

#include <vector>

#include "sim/formats/message_words.h"

namespace sim {

namespace {

// In the order of RenderSite.
constexpr const char* names[] = {"call", "jump", "alternate"};

}  // namespace

const char* siteName(RenderSite site) { return names[static_cast<int>(site)]; }

std::optional<RenderSite> siteNamed(std::string_view name, std::span<const RenderSite> allowed) {
    for (RenderSite site : allowed) {
        if (name == siteName(site)) return site;
    }
    return std::nullopt;
}

std::string siteChoices(std::span<const RenderSite> allowed) {
    std::vector<std::string> choices;
    for (RenderSite site : allowed) choices.push_back(quoted(siteName(site)));
    return listed(choices);
}

}  // namespace sim
