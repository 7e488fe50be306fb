#pragma once
// Private growable heaps. Every block remembers its heap, so destroying a heap
// releases all of its blocks at once, as the runtime relies on at shutdown.
#include <cstddef>

namespace native {

struct Heap;

// A growable heap; initial_size is a hint. Answers null when out of memory.
Heap* heap_create(std::size_t initial_size);
// Destroys the heap and every block still allocated from it.
bool heap_destroy(Heap* heap);

// A block of size bytes, zero-filled when zero is set; null on failure.
void* heap_alloc(Heap* heap, std::size_t size, bool zero);
// Resizes a block; bytes added are zero-filled when zero is set. On failure
// answers null and the old block is left as it was.
void* heap_realloc(Heap* heap, void* block, std::size_t size, bool zero);
bool heap_free(Heap* heap, void* block);
std::size_t heap_block_size(const Heap* heap, const void* block);

// Blocks currently allocated, for tests that prove memory comes back.
std::size_t heap_block_count(const Heap* heap);

}  // namespace native
