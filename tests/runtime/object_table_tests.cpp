#include "runtime_fixture.h"

#include "runtime/object_table.h"

#include <vector>

namespace {

struct Record {
  void* handle;
  int value;
};

// Release callbacks are plain functions, so the log and table are globals.
std::vector<ObjectId> released;
ObjectTable* table = nullptr;

std::intptr_t release_record(ObjectId id) {
  released.push_back(id);
  free_object(table, id);
  return 1;
}

void* make_live(ObjectId id, int value = 0) {
  auto* record = static_cast<Record*>(allocate_object(table, id));
  if (record) {
    record->handle = reinterpret_cast<void*>(0x1000);
    record->value = value;
  }
  return record;
}

class ObjectTableTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    released.clear();
    table = create_table(sizeof(Record), 16, release_record);
    ASSERT_NE(table, nullptr);
  }
};

TEST_F(ObjectTableTest, GrowsPastTheEndByTheStep) {
  ASSERT_NE(make_live(20), nullptr);
  EXPECT_EQ(table->capacity, 36);
  for (int n = 16; n < 36; ++n) {
    if (n != 20) {
      EXPECT_EQ(table->slots[n], nullptr) << n;
    }
  }
  EXPECT_NE(get_object(table, 20), nullptr);
}

TEST_F(ObjectTableTest, ReusingANumberReleasesTheOldObjectAndKeepsItsMemory) {
  void* first = make_live(0, 1);
  EXPECT_TRUE(released.empty());
  void* second = allocate_object(table, 0);
  EXPECT_EQ(released, std::vector<ObjectId>{0});
  EXPECT_EQ(first, second);
  EXPECT_EQ(static_cast<Record*>(second)->value, 0);  // cleared for the new owner
}

TEST_F(ObjectTableTest, ReleasedNumbersAreAbsentButKeepTheirSlot) {
  void* record = make_live(3);
  free_object(table, 3);
  EXPECT_EQ(get_object(table, 3), nullptr);
  EXPECT_EQ(find_object(table, 3), nullptr);
  EXPECT_EQ(table->slots[3], record);
  EXPECT_EQ(get_object(table, 7), nullptr);  // never used
}

TEST_F(ObjectTableTest, AnyObjectsAreNamedByTheirRecordAddress) {
  void* record = make_live(OBJECT_ANY);
  ObjectId handle = handle_of(record);
  EXPECT_EQ(get_object(table, handle), record);
  EXPECT_EQ(find_object(table, handle), record);
  free_object(table, handle);
  EXPECT_EQ(find_object(table, handle), nullptr);
  EXPECT_EQ(get_object(table, handle), nullptr);
  EXPECT_EQ(table->any_list, nullptr);
}

TEST_F(ObjectTableTest, MadeUpHandlesAndBadNumbersAreRefused) {
  int on_stack = 0;
  make_live(OBJECT_ANY);
  EXPECT_EQ(get_object(table, reinterpret_cast<ObjectId>(&on_stack)), nullptr);
  EXPECT_EQ(find_object(table, 123456789), nullptr);
  EXPECT_EQ(get_object(table, -7), nullptr);
  EXPECT_EQ(allocate_object(table, -7), nullptr);
  free_object(table, reinterpret_cast<ObjectId>(&on_stack));  // ignored, no crash
  EXPECT_NE(table->any_list, nullptr);
}

TEST_F(ObjectTableTest, ReleaseAllGoesByNumberThenOldestAnyFirst) {
  make_live(3);
  ObjectId older = handle_of(make_live(OBJECT_ANY));
  make_live(0);
  ObjectId newer = handle_of(make_live(OBJECT_ANY));
  release_all(table);
  EXPECT_EQ(released, (std::vector<ObjectId>{0, 3, older, newer}));
  EXPECT_EQ(get_object(table, 0), nullptr);
  EXPECT_EQ(table->any_list, nullptr);
}

TEST_F(ObjectTableTest, IterationSkipsAbsentRecords) {
  make_live(1, 10);
  make_live(2, 20);
  free_object(table, 1);
  make_live(OBJECT_ANY, 30);
  first_object(table);
  std::vector<int> values;
  ObjectId id = 0;
  while (auto* record = static_cast<Record*>(next_object(table, &id))) values.push_back(record->value);
  EXPECT_EQ(values, (std::vector<int>{20, 30}));
}

TEST_F(ObjectTableTest, WithoutACallbackReleaseAllDoesNothing) {
  ObjectTable* plain = create_table(sizeof(Record), 4, nullptr);
  auto* record = static_cast<Record*>(allocate_object(plain, 1));
  record->handle = record;
  release_all(plain);
  EXPECT_EQ(get_object(plain, 1), record);
}

TEST_F(ObjectTableTest, StateBlocksAreZeroedAndInitialised) {
  struct State {
    int a;
    int b;
  };
  auto* block = static_cast<State*>(allocate_state_block(
      sizeof(State), [](void* p) { static_cast<State*>(p)->b = 5; }, nullptr));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->a, 0);
  EXPECT_EQ(block->b, 5);
  EXPECT_EQ(state_block(block), block);
}

}  // namespace
