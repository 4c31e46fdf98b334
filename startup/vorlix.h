#pragma once
// The plug-in instance: opens the log and connects the update pass to the host's renders.

#include "host/host_interface.h"

class Vorlix {
  public:
    Vorlix();
    Vorlix(const Vorlix&) = delete;
    Vorlix& operator=(const Vorlix&) = delete;

    // Animates the vehicle about to be rendered, if it has a record.
    void onVehicleRender(CVehicle* vehicle);
};
