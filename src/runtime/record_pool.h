#pragma once
// Record pools: fixed-size records carved from chunks, for records made and
// dropped at a high rate. Returned records go on their chunk's free list; a
// chunk goes back to the heap as soon as none of its records is in use; new
// chunks grow with the pool. Records are not cleared.
#include <atomic>
#include <cstdint>
#include <mutex>

constexpr std::uint32_t POOL_LOCKED = 1;  // in the low two bits
constexpr std::uint32_t POOL_SHARED = 4;

struct PoolChunk {
  PoolChunk* next;
  PoolChunk* previous;
  void* free_list;  // most recently returned slot
  std::int32_t slot_count;
  std::int32_t used;  // slots handed out at least once
  std::int32_t free_count;
  // slots follow
};

struct SharedPoolNode;

struct RecordPool {
  PoolChunk* full_chunks;
  PoolChunk* open_chunks;
  SharedPoolNode* shared_node;
  std::int32_t total_slots;
  std::int32_t slot_size;
  std::int32_t minimum_chunk;
  std::int32_t maximum_chunk;
  std::uint32_t locked;
  std::mutex* lock;  // only for a locked pool
};

RecordPool* create_pool(std::int32_t record_size, std::int32_t minimum_chunk, std::int32_t maximum_chunk,
                        std::uint32_t flags);
void* pool_alloc(RecordPool* pool);
void pool_free(RecordPool* pool, void* record);
void pool_clear(RecordPool* pool);
void destroy_pool(RecordPool* pool);

// Runs the routine exactly once per state word (initially 0) in the process.
void run_once(std::atomic<std::uint32_t>& state, void (*routine)());
