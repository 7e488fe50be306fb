#pragma once
// The runtime's services start in one fixed order before the program runs
// and stop in another after it. The general heap must exist before the
// start and is destroyed by the caller after the stop; the native window
// system (a backend) is set up by the caller too.
void start_runtime_services();
void stop_runtime_services();
