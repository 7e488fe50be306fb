#include "native/system/heap.h"

#include "native/system/faults.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace native {

// Each block is preceded by a header linking it into its heap's list.
struct BlockHeader {
  BlockHeader* next;
  BlockHeader* prev;
  Heap* heap;
  std::size_t size;
};
static_assert(sizeof(BlockHeader) % alignof(std::max_align_t) == 0);

struct Heap {
  BlockHeader* blocks = nullptr;
  std::size_t count = 0;
};

namespace {

BlockHeader* header_of(const void* block) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) - sizeof(BlockHeader));
}

void* payload_of(BlockHeader* h) { return reinterpret_cast<char*>(h) + sizeof(BlockHeader); }

void link(Heap* heap, BlockHeader* h) {
  h->heap = heap;
  h->prev = nullptr;
  h->next = heap->blocks;
  if (heap->blocks) heap->blocks->prev = h;
  heap->blocks = h;
  ++heap->count;
}

void unlink(Heap* heap, BlockHeader* h) {
  if (h->prev)
    h->prev->next = h->next;
  else
    heap->blocks = h->next;
  if (h->next) h->next->prev = h->prev;
  --heap->count;
}

bool too_large(std::size_t size) { return size > SIZE_MAX - sizeof(BlockHeader); }

}  // namespace

Heap* heap_create(std::size_t) { return new (std::nothrow) Heap; }

bool heap_destroy(Heap* heap) {
  if (!heap) return false;
  for (BlockHeader* h = heap->blocks; h;) {
    BlockHeader* next = h->next;
    std::free(h);
    h = next;
  }
  delete heap;
  return true;
}

void* heap_alloc(Heap* heap, std::size_t size, bool zero) {
  if (!heap || too_large(size) || faults::allocation_fails(size)) return nullptr;
  auto* h = static_cast<BlockHeader*>(zero ? std::calloc(1, sizeof(BlockHeader) + size)
                                           : std::malloc(sizeof(BlockHeader) + size));
  if (!h) return nullptr;
  h->size = size;
  link(heap, h);
  return payload_of(h);
}

void* heap_realloc(Heap* heap, void* block, std::size_t size, bool zero) {
  if (!block) return heap_alloc(heap, size, zero);
  if (!heap || too_large(size) || faults::allocation_fails(size)) return nullptr;
  BlockHeader* old = header_of(block);
  if (old->heap != heap) return nullptr;
  std::size_t old_size = old->size;
  unlink(heap, old);
  auto* h = static_cast<BlockHeader*>(std::realloc(old, sizeof(BlockHeader) + size));
  if (!h) {
    link(heap, old);
    return nullptr;
  }
  h->size = size;
  link(heap, h);
  if (zero && size > old_size) std::memset(static_cast<char*>(payload_of(h)) + old_size, 0, size - old_size);
  return payload_of(h);
}

bool heap_free(Heap* heap, void* block) {
  if (!heap || !block) return false;
  BlockHeader* h = header_of(block);
  if (h->heap != heap) return false;
  unlink(heap, h);
  std::free(h);
  return true;
}

std::size_t heap_block_size(const Heap*, const void* block) { return block ? header_of(block)->size : 0; }

std::size_t heap_block_count(const Heap* heap) { return heap ? heap->count : 0; }

}  // namespace native
