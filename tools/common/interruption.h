#pragma once
// Ending a run early on SIGINT, SIGTERM or SIGHUP without leaving anything
// behind: the process removes the temporary file of the PNG it is writing,
// passes the signal on to its workers and waits for them, then exits with
// 128 + the signal's number (130, 143, 129). PNGs already in place stay;
// none under a final name is ever incomplete, since outputs only take their
// names when complete.
#include <sys/types.h>

// `remove_temporaries` must be async-signal-safe.
void install_interruption_handlers(void (*remove_temporaries)());

// Forking a worker: signals wait until the new process is known, so that
// none is missed. The worker starts with no workers of its own.
void hold_interruptions();
void worker_started(pid_t pid);  // in the parent, still holding
void now_a_worker();             // in the new process, still holding
void release_interruptions();

// Waits for any worker to end and forgets it, so that no signal is ever
// passed to a process id the system has given to another process. False
// when there are no workers left.
bool reap_worker();
