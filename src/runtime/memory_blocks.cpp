#include "runtime/memory_blocks.h"

#include "native/system/heap.h"

namespace {
native::Heap* block_heap = nullptr;
constexpr std::size_t INITIAL_HEAP_SIZE = 4096;
}  // namespace

void init_memory_blocks() { block_heap = native::heap_create(INITIAL_HEAP_SIZE); }

void shutdown_memory_blocks() {
  native::heap_destroy(block_heap);
  block_heap = nullptr;
}

void* allocate_memory(std::int64_t size, bool zero) {
  if (size <= 0) return nullptr;
  return native::heap_alloc(block_heap, static_cast<std::size_t>(size), zero);
}

void* resize_memory(void* block, std::int64_t size) {
  if (size <= 0) return nullptr;
  if (!block) return allocate_memory(size, true);
  return native::heap_realloc(block_heap, block, static_cast<std::size_t>(size), true);
}

void free_memory(void* block) {
  if (block) native::heap_free(block_heap, block);
}

std::size_t memory_size(const void* block) { return native::heap_block_size(block_heap, block); }
