#pragma once
// The runtime's services start in one fixed order before a program runs and
// stop in another after it; this is the one place that knows both. Every
// program, test fixture and benchmark starts what it needs through it.
// Text, memory blocks, images (image services, images, drawing) and files
// live here or below; the window layer's services live above and hand in
// their steps, so a program without windows links none of them. The general
// heap must exist before the start and is destroyed by the caller after the
// stop; a program with windows sets up the native window system (a backend)
// first too.

// One service's start and stop; empty: the service is not used.
struct ServiceStep {
  void (*start)() = nullptr;
  void (*stop)() = nullptr;
};

struct WindowServices {
  ServiceStep events, windows, gadgets, ole, menus, process, requesters;
};

struct RuntimeServices {
  bool text = true;
  bool memory_blocks = true;
  bool images = true;
  bool files = true;
  WindowServices window;
};

void start_runtime_services(const RuntimeServices& services);
void stop_runtime_services(const RuntimeServices& services);
