#include "sim/formats/render_site.h"

namespace sim {

const char* siteName(RenderSite site) {
    switch (site) {
        case RenderSite::call:
            return "call";
        case RenderSite::jump:
            return "jump";
        case RenderSite::alternate:
            return "alternate";
    }
    return "call";
}

std::optional<RenderSite> siteNamed(std::string_view name, std::span<const RenderSite> allowed) {
    for (RenderSite site : allowed) {
        if (name == siteName(site)) return site;
    }
    return std::nullopt;
}

std::string siteChoices(std::span<const RenderSite> allowed) {
    std::string choices;
    for (std::size_t i = 0; i < allowed.size(); ++i) {
        if (i > 0) choices += i + 1 == allowed.size() ? " or " : ", ";
        choices += std::string("\"") + siteName(allowed[i]) + "\"";
    }
    return choices;
}

}  // namespace sim
