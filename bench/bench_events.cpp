// Posting and taking events: a million distinct events, and a million that
// collapse into their predecessor.
#include "runtime/general_heap.h"
#include "ui/event_queue.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int EVENTS = 1000000;

class EventQueueFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State&) override {
    create_general_heap();
    init_event_queue();
  }
  void TearDown(const benchmark::State&) override {
    shutdown_event_queue();
    destroy_general_heap();
  }
};

// Distinct events queue one node each; they are taken in batches the size of
// a busy moment's backlog.
BENCHMARK_F(EventQueueFixture, PostAndTakeDistinct)(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < EVENTS; i += 100) {
      for (int k = 0; k < 100; ++k) post_event(EVENT_GADGET, 0, 0, 0x10003 + (k & 1));
      while (take_event()) {
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * EVENTS);
}

BENCHMARK_F(EventQueueFixture, PostAndTakeCollapsing)(benchmark::State& state) {
  for (auto _ : state) {
    for (int i = 0; i < EVENTS; i += 100) {
      for (int k = 0; k < 100; ++k) post_event(EVENT_GADGET, 0, 0, 0x10003);
      while (take_event()) {
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * EVENTS);
}

}  // namespace

BENCHMARK_MAIN();
