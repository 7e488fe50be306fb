#pragma once
// The general-purpose heap holds every runtime record. The main program (or a
// test fixture) creates it before any service starts and destroys it last.
#include <cstddef>
#include <cstdint>

namespace native {
struct Heap;
}

bool create_general_heap();
void destroy_general_heap();
native::Heap* general_heap();
// Counts heaps created, so process-wide lists can tell stale entries.
std::uint64_t general_heap_generation();

// Zero-filled block, or null.
void* general_alloc(std::size_t size);
// Uncleared block, or null.
void* general_alloc_raw(std::size_t size);
void general_free(void* block);
