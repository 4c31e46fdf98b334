#pragma once
// The style sheet of vorlix-sim's pages (page_style.css), embedded at build time: the report and
// the preview page share it.

namespace sim::report {

extern const char* const reportStyle;

}  // namespace sim::report
