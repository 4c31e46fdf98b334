#pragma once
// The report page's style sheet: dark, self-contained, no fonts or images fetched.

namespace sim::report {

extern const char* const reportStyle;

}  // namespace sim::report
