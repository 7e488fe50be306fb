#pragma once
// The window layer's services as steps of the runtime's start-up list:
// events, windows, gadgets, OLE, menus and the requesters. A program or test
// switches off what it does not use.
#include "image/runtime_services.h"

WindowServices window_services();

// Gadgets on a native window the caller makes, without numbered windows:
// images, the event queue alone (no hidden window), gadgets and OLE. For
// tests and benchmarks of the gadget layer.
RuntimeServices gadget_services();
