#include "ui/window_services.h"

#include "ui/drop_target.h"
#include "ui/event_queue.h"
#include "ui/event_wait.h"
#include "ui/gadgets.h"
#include "ui/menus.h"
#include "ui/requesters.h"
#include "ui/windows.h"

WindowServices window_services() {
  WindowServices w;
  w.events = {init_events, shutdown_events};
  w.windows = {init_windows, shutdown_windows};
  w.gadgets = {init_gadgets, shutdown_gadgets};
  w.ole = {init_ole, shutdown_ole};
  w.menus = {init_menus, nullptr};  // the menu table goes with the general heap
  w.requesters = {init_requesters, nullptr};
  return w;
}

RuntimeServices gadget_services() {
  WindowServices all = window_services();
  RuntimeServices s;
  s.text = s.memory_blocks = s.files = false;
  s.window.events = {init_event_queue, shutdown_event_queue};
  s.window.gadgets = all.gadgets;
  s.window.ole = all.ole;
  return s;
}
