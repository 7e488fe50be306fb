#pragma once
// What the viewer starts of the runtime: everything, the window layer and
// the process services (the command line) included.
#include "image/runtime_services.h"

RuntimeServices viewer_services();
