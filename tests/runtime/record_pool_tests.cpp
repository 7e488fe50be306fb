#include "runtime_fixture.h"

#include "runtime/general_heap.h"
#include "runtime/record_pool.h"

#include "native/system/faults.h"
#include "native/system/heap.h"

#include <thread>
#include <vector>

namespace {

int chunks_in(const PoolChunk* list) {
  int n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

class RecordPoolTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    pool = create_pool(20, 16, 256, 2);
    ASSERT_NE(pool, nullptr);
  }
  void TearDown() override {
    destroy_pool(pool);
    RuntimeTest::TearDown();
  }
  std::vector<void*> take(int n) {
    std::vector<void*> records;
    for (int i = 0; i < n; ++i) records.push_back(pool_alloc(pool));
    return records;
  }
  RecordPool* pool = nullptr;
};

TEST_F(RecordPoolTest, ChunksFillThenMoveToTheFullList) {
  std::vector<void*> records = take(1);
  ASSERT_NE(pool->open_chunks, nullptr);
  EXPECT_EQ(pool->open_chunks->slot_count, 16);
  EXPECT_EQ(pool->total_slots, 16);
  take(15);
  EXPECT_EQ(pool->open_chunks, nullptr);
  EXPECT_EQ(chunks_in(pool->full_chunks), 1);
  take(1);
  EXPECT_EQ(chunks_in(pool->open_chunks), 1);
  EXPECT_EQ(pool->total_slots, 32);
}

TEST_F(RecordPoolTest, NewChunksGrowWithThePoolUpToTheMaximum) {
  std::vector<void*> records = take(512);  // 32 chunks of 16
  EXPECT_EQ(pool->total_slots, 512);
  take(1);
  EXPECT_EQ(pool->open_chunks->slot_count, 32);
  RecordPool* small = create_pool(8, 16, 20, 0);
  for (int i = 0; i < 600; ++i) pool_alloc(small);
  EXPECT_EQ(small->open_chunks->slot_count, 20);
  destroy_pool(small);
}

TEST_F(RecordPoolTest, ReturnedRecordsComeBackLastInFirstOut) {
  std::vector<void*> records = take(16);
  pool_free(pool, records[4]);
  EXPECT_EQ(pool->full_chunks, nullptr);
  EXPECT_EQ(chunks_in(pool->open_chunks), 1);
  EXPECT_EQ(pool_alloc(pool), records[4]);

  std::vector<void*> more = take(3);  // second chunk, slots 0..2 used
  pool_free(pool, more[0]);
  pool_free(pool, more[2]);
  EXPECT_EQ(pool_alloc(pool), more[2]);
  EXPECT_EQ(pool_alloc(pool), more[0]);
  EXPECT_NE(pool_alloc(pool), more[1]);  // then a never-used slot
}

TEST_F(RecordPoolTest, AChunkGoesBackToTheHeapWithItsLastRecord) {
  std::size_t blocks = native::heap_block_count(general_heap());
  std::vector<void*> records = take(20);
  for (void* r : records) pool_free(pool, r);
  EXPECT_EQ(pool->total_slots, 0);
  EXPECT_EQ(pool->open_chunks, nullptr);
  EXPECT_EQ(pool->full_chunks, nullptr);
  EXPECT_EQ(native::heap_block_count(general_heap()), blocks);
}

TEST_F(RecordPoolTest, FallsBackToAOneSlotChunkWhenMemoryIsShort) {
  native::faults::fail_allocations_from(sizeof(PoolChunk) + 2 * static_cast<std::size_t>(pool->slot_size));
  void* record = pool_alloc(pool);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(pool->open_chunks, nullptr);
  ASSERT_NE(pool->full_chunks, nullptr);
  EXPECT_EQ(pool->full_chunks->slot_count, 1);
  pool_free(pool, record);
  EXPECT_EQ(pool->full_chunks, nullptr);
  EXPECT_EQ(pool->total_slots, 0);

  native::faults::fail_allocations_from(1);
  EXPECT_EQ(pool_alloc(pool), nullptr);
}

TEST_F(RecordPoolTest, ClearReturnsEveryChunk) {
  std::size_t blocks = native::heap_block_count(general_heap());
  take(100);
  pool_clear(pool);
  EXPECT_EQ(pool->total_slots, 0);
  EXPECT_EQ(native::heap_block_count(general_heap()), blocks);
}

TEST_F(RecordPoolTest, SharedPoolsAreSharedBySizeAndFlags) {
  std::size_t blocks = native::heap_block_count(general_heap());
  RecordPool* a = create_pool(24, 16, 65536, POOL_SHARED);
  RecordPool* b = create_pool(24, 16, 65536, POOL_SHARED);
  RecordPool* other = create_pool(24, 16, 65536, POOL_SHARED | 8);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, other);
  void* record = pool_alloc(a);
  destroy_pool(a);
  pool_free(b, record);  // still usable after the first user left
  destroy_pool(b);
  destroy_pool(other);
  EXPECT_EQ(native::heap_block_count(general_heap()), blocks);
}

TEST_F(RecordPoolTest, LockedPoolsServeSeveralThreads) {
  RecordPool* locked = create_pool(16, 16, 1024, POOL_LOCKED);
  ASSERT_EQ(locked->locked, 1u);
  auto work = [locked] {
    std::vector<void*> mine;
    for (int round = 0; round < 50; ++round) {
      for (int i = 0; i < 40; ++i) mine.push_back(pool_alloc(locked));
      for (void* r : mine) pool_free(locked, r);
      mine.clear();
    }
  };
  std::thread t1(work), t2(work);
  t1.join();
  t2.join();
  EXPECT_EQ(locked->total_slots, 0);
  destroy_pool(locked);
}

std::atomic<int> once_runs{0};

TEST(RunOnce, RunsTheRoutineOnceAcrossThreads) {
  static std::atomic<std::uint32_t> state{0};
  auto call = [] { run_once(state, [] { once_runs.fetch_add(1); }); };
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back(call);
  for (auto& t : threads) t.join();
  call();
  EXPECT_EQ(once_runs.load(), 1);
  EXPECT_EQ(state.load(), 2u);
}

}  // namespace
