#include "runtime/record_pool.h"

#include "runtime/general_heap.h"

#include <cstdint>
#include <new>
#include <thread>

struct SharedPoolNode {
  SharedPoolNode* next;
  SharedPoolNode* previous;
  RecordPool* pool;
  std::int32_t slot_size;
  std::uint32_t flags;
  std::int32_t users;
};

namespace {

// Slot header: the owning chunk while handed out, the next free slot while
// free. It is pointer-sized, and slots keep pointer alignment.
constexpr std::int32_t SLOT_HEADER = sizeof(void*);
constexpr std::int32_t SLOT_ALIGN = alignof(void*);

struct SharedRegistry {
  std::mutex lock;
  SharedPoolNode* head = nullptr;
  std::uint64_t heap_generation = 0;
};

std::atomic<std::uint32_t> registry_once{0};
SharedRegistry* registry = nullptr;

void make_registry() {
  static SharedRegistry instance;
  registry = &instance;
}

// The nodes live in the general heap: once that heap is gone, so are they.
void forget_nodes_of_old_heaps() {
  if (registry->heap_generation != general_heap_generation()) {
    registry->head = nullptr;
    registry->heap_generation = general_heap_generation();
  }
}

char* slot_at(PoolChunk* chunk, std::int32_t index, std::int32_t slot_size) {
  return reinterpret_cast<char*>(chunk + 1) + static_cast<std::size_t>(index) * static_cast<std::size_t>(slot_size);
}

void push_front(PoolChunk*& list, PoolChunk* chunk) {
  chunk->previous = nullptr;
  chunk->next = list;
  if (list) list->previous = chunk;
  list = chunk;
}

void unlink(PoolChunk*& list, PoolChunk* chunk) {
  if (chunk->previous)
    chunk->previous->next = chunk->next;
  else
    list = chunk->next;
  if (chunk->next) chunk->next->previous = chunk->previous;
}

void free_list(PoolChunk*& list) {
  while (PoolChunk* chunk = list) {
    list = chunk->next;
    general_free(chunk);
  }
}

// Holds the pool's lock for the scope when the pool is a locked one.
class PoolGuard {
 public:
  explicit PoolGuard(RecordPool* pool) : lock_(pool->locked ? pool->lock : nullptr) {
    if (lock_) lock_->lock();
  }
  ~PoolGuard() {
    if (lock_) lock_->unlock();
  }
  PoolGuard(const PoolGuard&) = delete;
  PoolGuard& operator=(const PoolGuard&) = delete;

 private:
  std::mutex* lock_;
};

RecordPool* create_private_pool(std::int32_t slot_size, std::int32_t minimum_chunk, std::int32_t maximum_chunk,
                                std::uint32_t flags) {
  auto* pool = static_cast<RecordPool*>(general_alloc(sizeof(RecordPool)));
  if (!pool) return nullptr;
  pool->slot_size = slot_size;
  pool->minimum_chunk = minimum_chunk;
  pool->maximum_chunk = maximum_chunk;
  if ((flags & 3) == POOL_LOCKED) {
    pool->lock = new (std::nothrow) std::mutex;
    if (!pool->lock) {
      general_free(pool);
      return nullptr;
    }
    pool->locked = 1;
  }
  return pool;
}

void destroy_private_pool(RecordPool* pool) {
  pool_clear(pool);
  delete pool->lock;
  general_free(pool);
}

PoolChunk* new_chunk(RecordPool* pool) {
  std::int32_t n = 16 * (pool->total_slots / 256);
  if (n < pool->minimum_chunk)
    n = pool->minimum_chunk;
  else if (n > pool->maximum_chunk)
    n = pool->maximum_chunk;
  auto bytes = [pool](std::int32_t slots) {
    return sizeof(PoolChunk) + static_cast<std::size_t>(slots) * static_cast<std::size_t>(pool->slot_size);
  };
  auto* chunk = static_cast<PoolChunk*>(general_alloc_raw(bytes(n)));
  if (!chunk) {
    n = 1;
    chunk = static_cast<PoolChunk*>(general_alloc_raw(bytes(1)));
    if (!chunk) return nullptr;
  }
  chunk->slot_count = n;
  chunk->used = 1;
  chunk->free_count = 0;
  chunk->free_list = nullptr;
  pool->total_slots += n;
  push_front(n == 1 ? pool->full_chunks : pool->open_chunks, chunk);
  return chunk;
}

}  // namespace

RecordPool* create_pool(std::int32_t record_size, std::int32_t minimum_chunk, std::int32_t maximum_chunk,
                        std::uint32_t flags) {
  if (record_size < 0 || minimum_chunk < 1 || maximum_chunk < minimum_chunk) return nullptr;
  if (record_size > INT32_MAX / 2) return nullptr;
  std::int32_t slot_size = (record_size + SLOT_HEADER + SLOT_ALIGN - 1) & ~(SLOT_ALIGN - 1);
  if (!(flags & POOL_SHARED)) return create_private_pool(slot_size, minimum_chunk, maximum_chunk, flags);

  run_once(registry_once, make_registry);
  std::lock_guard<std::mutex> guard(registry->lock);
  forget_nodes_of_old_heaps();
  for (SharedPoolNode* node = registry->head; node; node = node->next)
    if (node->slot_size == slot_size && node->flags == flags) {
      ++node->users;
      return node->pool;
    }
  RecordPool* pool = create_private_pool(slot_size, minimum_chunk, maximum_chunk, flags & ~POOL_SHARED);
  if (!pool) return nullptr;
  auto* node = static_cast<SharedPoolNode*>(general_alloc(sizeof(SharedPoolNode)));
  if (!node) {
    destroy_private_pool(pool);
    return nullptr;
  }
  *node = {registry->head, nullptr, pool, slot_size, flags, 1};
  if (registry->head) registry->head->previous = node;
  registry->head = node;
  pool->shared_node = node;
  return pool;
}

void* pool_alloc(RecordPool* pool) {
  if (!pool) return nullptr;
  PoolGuard guard(pool);
  PoolChunk* chunk = pool->open_chunks;
  char* slot;
  if (chunk) {
    if (chunk->free_count > 0) {
      slot = static_cast<char*>(chunk->free_list);
      chunk->free_list = *reinterpret_cast<void**>(slot);
      --chunk->free_count;
    } else {
      slot = slot_at(chunk, chunk->used++, pool->slot_size);
    }
    if (chunk->free_count == 0 && chunk->used == chunk->slot_count) {
      unlink(pool->open_chunks, chunk);
      push_front(pool->full_chunks, chunk);
    }
  } else {
    chunk = new_chunk(pool);
    if (!chunk) return nullptr;
    slot = slot_at(chunk, 0, pool->slot_size);
  }
  *reinterpret_cast<PoolChunk**>(slot) = chunk;
  return slot + SLOT_HEADER;
}

void pool_free(RecordPool* pool, void* record) {
  if (!pool || !record) return;
  PoolGuard guard(pool);
  char* slot = static_cast<char*>(record) - SLOT_HEADER;
  PoolChunk* chunk = *reinterpret_cast<PoolChunk**>(slot);
  bool was_full = chunk->free_count == 0 && chunk->used == chunk->slot_count;
  *reinterpret_cast<void**>(slot) = chunk->free_list;
  chunk->free_list = slot;
  ++chunk->free_count;
  if (chunk->free_count == chunk->used) {
    unlink(was_full ? pool->full_chunks : pool->open_chunks, chunk);
    pool->total_slots -= chunk->slot_count;
    general_free(chunk);
  } else if (was_full) {
    unlink(pool->full_chunks, chunk);
    push_front(pool->open_chunks, chunk);
  }
}

void pool_clear(RecordPool* pool) {
  if (!pool) return;
  PoolGuard guard(pool);
  free_list(pool->full_chunks);
  free_list(pool->open_chunks);
  pool->total_slots = 0;
}

void destroy_pool(RecordPool* pool) {
  if (!pool) return;
  SharedPoolNode* node = pool->shared_node;
  if (!node) {
    destroy_private_pool(pool);
    return;
  }
  std::lock_guard<std::mutex> guard(registry->lock);
  forget_nodes_of_old_heaps();
  if (--node->users > 0) return;
  pool->shared_node = nullptr;
  destroy_private_pool(pool);
  if (node->previous)
    node->previous->next = node->next;
  else
    registry->head = node->next;
  if (node->next) node->next->previous = node->previous;
  general_free(node);
}

void run_once(std::atomic<std::uint32_t>& state, void (*routine)()) {
  std::uint32_t expected = 0;
  if (state.compare_exchange_strong(expected, 1)) {
    routine();
    state.store(2);
    return;
  }
  while (state.load() != 2) std::this_thread::yield();
}
