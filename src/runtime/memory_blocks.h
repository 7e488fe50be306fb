#pragma once
// The program's own memory blocks (the file buffer, for one), kept in a heap
// of their own that shutdown destroys whole.
#include <cstddef>
#include <cstdint>

void init_memory_blocks();
void shutdown_memory_blocks();

// A block of size bytes, zero-filled unless zero is false; null for a size of
// 0 or less, or when memory runs out.
void* allocate_memory(std::int64_t size, bool zero = true);
// Resizes a block, zero-filling added bytes; a missing block is allocated
// anew. A size of 0 or less, or a failure, answers null and keeps the block.
void* resize_memory(void* block, std::int64_t size);
void free_memory(void* block);
std::size_t memory_size(const void* block);
