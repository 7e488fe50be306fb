#include "runtime_fixture.h"

#include "ui/event_callbacks.h"
#include "ui/event_queue.h"

#include "runtime/general_heap.h"
#include "runtime/record_pool.h"

#include "native/system/heap.h"

#include <ostream>
#include <tuple>
#include <vector>

namespace {

struct Taken {
  std::int32_t code;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  bool operator==(const Taken&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Taken& t) {
  return out << "{" << t.code << ", object " << t.object << ", window " << t.window << ", type " << t.type << "}";
}

std::vector<Taken> drain() {
  std::vector<Taken> taken;
  while (take_event()) taken.push_back({event_code(), event_object(), event_window(), event_type()});
  return taken;
}

std::vector<int> released;
void release_tag(void* data) { released.push_back(*static_cast<int*>(data)); }

class EventQueueTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    released.clear();
    init_event_queue();
  }
  void TearDown() override {
    shutdown_event_queue();
    RuntimeTest::TearDown();
  }
};

TEST_F(EventQueueTest, EventsComeOutInPostingOrder) {
  post_event(EVENT_MENU, 3, 0, 0);
  post_event(EVENT_CLOSE_WINDOW, 0, 0, 0);
  post_event(EVENT_GADGET, 0, 0, 0x10004);
  EXPECT_EQ(drain(),
            (std::vector<Taken>{{EVENT_MENU, 3, 0, 0}, {EVENT_CLOSE_WINDOW, 0, 0, 0}, {EVENT_GADGET, 0, 0, 0x10004}}));
}

TEST_F(EventQueueTest, IdenticalNeighboursCollapseButOthersDoNot) {
  post_event(EVENT_GADGET, 0, 0, 0x10003);
  post_event(EVENT_GADGET, 0, 0, 0x10003);  // collapses
  post_event(EVENT_GADGET, 0, 0, 0x10004);  // another type
  post_event(EVENT_GADGET, 0, 0, 0x10003);  // not the tail's twin any more
  post_event(70000, 1, 0, 0);
  post_event(70000, 1, 0, 0);  // codes from 65536 on never collapse
  EXPECT_EQ(drain(), (std::vector<Taken>{{EVENT_GADGET, 0, 0, 0x10003},
                                         {EVENT_GADGET, 0, 0, 0x10004},
                                         {EVENT_GADGET, 0, 0, 0x10003},
                                         {70000, 1, 0, 0},
                                         {70000, 1, 0, 0}}));
}

TEST_F(EventQueueTest, DataLivesUntilTheNextTake) {
  int first = 1, second = 2, twin = 3;
  post_event(EVENT_GADGET, 0, 0, 1, &first, release_tag);
  post_event(EVENT_GADGET, 0, 0, 1, &twin, release_tag);  // collapsed: its data goes at once
  EXPECT_EQ(released, std::vector<int>{3});
  post_event(EVENT_GADGET, 0, 0, 2, &second, release_tag);
  ASSERT_EQ(take_event(), EVENT_GADGET);
  EXPECT_EQ(event_data(), &first);
  EXPECT_EQ(released, std::vector<int>{3});
  ASSERT_EQ(take_event(), EVENT_GADGET);
  EXPECT_EQ(released, (std::vector<int>{3, 1}));
  EXPECT_EQ(take_event(), 0);
  EXPECT_EQ(released, (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(event_data(), nullptr);
}

TEST_F(EventQueueTest, AnEmptyTakeKeepsObjectAndWindow) {
  post_event(EVENT_MENU, 4, 7, 0);
  take_event();
  EXPECT_EQ(take_event(), 0);
  EXPECT_EQ(event_code(), 0);
  EXPECT_EQ(event_object(), 4);
  EXPECT_EQ(event_window(), 7);
  EXPECT_EQ(event_type(), -1);
}

TEST_F(EventQueueTest, PurgingRemovesMatchingEventsAndTheirData) {
  int a = 1, b = 2;
  post_event(EVENT_GADGET, 5, 0, 1, &a, release_tag);
  post_event(EVENT_MENU, 1, 1, 0);
  post_event(EVENT_GADGET, 6, 0, 1);
  post_event(EVENT_GADGET, 5, 1, 2, &b, release_tag);
  post_event(EVENT_CLOSE_WINDOW, 0, 0, 0);
  purge_gadget_events(EVENT_GADGET, 5, -1, -1);
  EXPECT_EQ(released, (std::vector<int>{1, 2}));
  purge_window_events(0);
  EXPECT_EQ(drain(), (std::vector<Taken>{{EVENT_MENU, 1, 1, 0}}));
  post_event(EVENT_MENU, 9, 0, 0);  // the tail was fixed up by the purges
  EXPECT_EQ(drain(), (std::vector<Taken>{{EVENT_MENU, 9, 0, 0}}));
}

TEST_F(EventQueueTest, PoolMemoryReturnsWhenTheQueueDrains) {
  std::size_t blocks = native::heap_block_count(general_heap());
  std::int32_t slots = event_state()->pool->total_slots;
  for (int i = 0; i < 5000; ++i) post_event(EVENT_GADGET, 0, 0, i);
  EXPECT_GT(event_state()->pool->total_slots, slots);
  EXPECT_EQ(drain().size(), 5000u);
  EXPECT_EQ(event_state()->pool->total_slots, slots);
  EXPECT_EQ(native::heap_block_count(general_heap()), blocks);
}

std::vector<Taken> seen_by_callbacks;
void record_current() { seen_by_callbacks.push_back({event_code(), event_object(), event_window(), event_type()}); }

TEST_F(EventQueueTest, BoundCallbacksSeeThePostedEventInLookUpOrder) {
  seen_by_callbacks.clear();
  bind_event_callback(EVENT_MENU, -1, -1, -1, record_current);  // the code alone
  bind_event_callback(EVENT_MENU, 0, 2, 0, record_current);     // the exact event
  bind_event_callback(EVENT_MENU, 0, -1, -1, record_current);   // the window
  bind_event_callback(EVENT_CLOSE_WINDOW, -1, -1, -1, record_current);
  post_event(EVENT_GADGET, 0, 0, 0);
  take_event();
  post_event(EVENT_MENU, 2, 0, 0);
  EXPECT_EQ(seen_by_callbacks,
            (std::vector<Taken>{{EVENT_MENU, 2, 0, 0}, {EVENT_MENU, 2, 0, 0}, {EVENT_MENU, 2, 0, 0}}));
  EXPECT_EQ(event_code(), EVENT_GADGET);  // restored after the callbacks
  unbind_window_callbacks(0);
  seen_by_callbacks.clear();
  post_event(EVENT_MENU, 3, 0, 0);
  EXPECT_EQ(seen_by_callbacks.size(), 1u);  // only the code-wide binding is left
}

}  // namespace
