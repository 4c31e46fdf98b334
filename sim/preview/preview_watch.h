#pragma once
// vorlix-sim preview --watch: the author's loop. Serves the model's preview page on 127.0.0.1,
// watches the model and the files it refers to, and runs the ride again on every change; the open
// page takes the new ride, or shows why the model cannot be read, until Ctrl-C.

#include <ostream>

#include "sim/preview/preview_command.h"

namespace sim {

// port 0: one the system chooses. Returns when interrupted. Throws ModelError when the model
// cannot be read at the start.
void watchPreview(const PreviewRequest& request, unsigned short port, std::ostream& out,
                  std::ostream& problems);

}  // namespace sim
