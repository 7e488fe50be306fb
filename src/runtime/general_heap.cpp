#include "runtime/general_heap.h"

#include "native/system/heap.h"

namespace {
native::Heap* heap = nullptr;
std::uint64_t generation = 0;
constexpr std::size_t INITIAL_HEAP_SIZE = 4096;
}  // namespace

bool create_general_heap() {
  if (!heap) {
    heap = native::heap_create(INITIAL_HEAP_SIZE);
    ++generation;
  }
  return heap != nullptr;
}

void destroy_general_heap() {
  native::heap_destroy(heap);
  heap = nullptr;
}

native::Heap* general_heap() { return heap; }

std::uint64_t general_heap_generation() { return generation; }

void* general_alloc(std::size_t size) { return native::heap_alloc(heap, size, true); }

void* general_alloc_raw(std::size_t size) { return native::heap_alloc(heap, size, false); }

void general_free(void* block) {
  if (block) native::heap_free(heap, block);
}
