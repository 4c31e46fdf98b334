#include "sim/report/report_style.h"

namespace sim::report {

const char* const reportStyle = R"css(
:root { --bg:#0f1420; --card:#171e2e; --ink:#e6ebf5; --muted:#8b96ad; --grid:#26304a; --accent:#4cc9f0; }
* { box-sizing: border-box; }
body { margin:0; background:var(--bg); color:var(--ink); font:15px/1.45 system-ui,-apple-system,"Segoe UI",sans-serif; }
header { padding:28px 40px 18px; background:linear-gradient(120deg,#1b2540,#111729 60%); border-bottom:1px solid var(--grid); }
header h1 { margin:0 0 6px; font-size:26px; letter-spacing:.3px; }
header p { margin:2px 0; color:var(--muted); }
.pill { display:inline-block; padding:1px 9px; margin:2px 4px 2px 0; border-radius:999px; background:#22304f; color:var(--ink); font-size:13px; }
.ok { background:#0f5132; } .bad { background:#842029; }
main { padding:10px 40px 40px; max-width:1100px; }
section.vehicle { margin-top:28px; }
section.vehicle > h2 { font-size:21px; margin:0 0 4px; }
section.vehicle > p { margin:0 0 12px; color:var(--muted); }
.card { background:var(--card); border:1px solid var(--grid); border-radius:10px; padding:14px 18px 10px; margin:12px 0; }
.card h3 { margin:0; font-size:16px; display:flex; gap:10px; align-items:baseline; flex-wrap:wrap; }
.card h3 code { color:var(--accent); font-size:13px; font-weight:normal; }
.card .what { color:var(--muted); font-size:13.5px; margin:2px 0 6px; }
svg { width:100%; height:auto; display:block; }
svg .grid { stroke:var(--grid); stroke-width:1; }
svg .axis { stroke:#3a4668; stroke-width:1; }
svg .tick { stroke:#3a4668; }
svg .label { fill:var(--muted); font-size:11px; font-family:ui-monospace,Menlo,Consolas,monospace; }
svg .line { fill:none; stroke-width:1.7; stroke-linejoin:round; }
svg .lane { fill:#1d2538; }
.legend span { display:inline-block; margin-right:14px; font-size:12.5px; color:var(--muted); }
.legend i { display:inline-block; width:14px; height:3px; margin-right:5px; vertical-align:middle; border-radius:2px; }
.odo { display:inline-flex; gap:3px; margin:6px 0 10px; }
.odo span { display:inline-block; width:26px; padding:4px 0; text-align:center; font:600 20px ui-monospace,Menlo,Consolas,monospace;
  background:linear-gradient(#f4f4f4,#cfd3da 50%,#f4f4f4); color:#111; border-radius:3px; box-shadow:inset 0 0 4px rgba(0,0,0,.45); }
.odo span:last-child { background:linear-gradient(#fff3f3,#e8c9c9 50%,#fff3f3); }
table.overview { border-collapse:collapse; width:100%; margin:6px 0 4px; font-size:13.5px; }
table.overview th { text-align:left; color:var(--muted); font-weight:600; border-bottom:1px solid var(--grid); padding:4px 10px 4px 0; }
table.overview td { border-bottom:1px solid #1e2740; padding:4px 10px 4px 0; }
table.overview code { color:var(--accent); }
footer { color:var(--muted); font-size:12.5px; padding:0 40px 30px; }
)css";

}  // namespace sim::report
