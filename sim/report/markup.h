#pragma once
// Every text that goes into the report's HTML or SVG passes through here, so that a name with '<',
// '&' or quotes in it shows as written and is never read as markup.

#include <string>
#include <string_view>

namespace sim::report {

// Safe as element content and as a quoted attribute value.
std::string escapeMarkup(std::string_view text);

}  // namespace sim::report
