#pragma once
// Fault injection for tests: makes the native layer fail the way a full disk,
// a locked folder or exhausted memory would, so that callers' recovery paths
// can be proven. Nothing outside tests arms these.
#include <cstddef>
#include <cstdint>

namespace native::faults {

// The next file creation fails (once).
void fail_next_create();
// The next opening of an existing file fails (once), as when another
// program holds it.
void fail_next_open();
// Writes succeed for the next `bytes` bytes in total, then every write fails
// (a write that crosses the limit is short) until reset.
void fail_writes_after(std::uint64_t bytes);
// Every allocation of at least `size` bytes fails until reset.
void fail_allocations_from(std::size_t size);
// The next `count` allocations of any size succeed, then all fail until reset.
void fail_allocations_after(std::size_t count);
// Outputs are written to named temporary files, as on file systems that
// cannot make unnamed ones, until reset.
void refuse_unnamed_files();
// Disarms every fault.
void reset();

// Used by the native layer itself.
bool create_fails();
bool open_fails();
bool unnamed_files_refused();
// How many of `count` bytes a write may store; 0 means the write fails.
std::size_t write_allowance(std::size_t count);
bool allocation_fails(std::size_t size);

}  // namespace native::faults
