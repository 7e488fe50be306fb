#include "ui/event_queue.h"

#include "ui/event_callbacks.h"

#include "runtime/record_pool.h"

namespace {

EventState* state = nullptr;

constexpr std::int32_t NODE_POOL_MINIMUM = 16;
constexpr std::int32_t NODE_POOL_MAXIMUM = 256;
constexpr std::uint32_t NODE_POOL_FLAGS = 2;  // private, unlocked

void release_data(void* data, EventDataRelease release) {
  if (data && release) release(data);
}

void make_state(void* block) {
  auto* s = static_cast<EventState*>(block);
  s->pool = create_pool(sizeof(QueuedEvent), NODE_POOL_MINIMUM, NODE_POOL_MAXIMUM, NODE_POOL_FLAGS);
  // One node is taken for good, so the pool's first chunk stays for the life
  // of the program instead of coming and going with every event.
  pool_alloc(s->pool);
  s->current.type = -1;
}

bool same_event(const QueuedEvent* node, std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  return node->code == code && node->object == object && node->window == window && node->type == type;
}

// Unlinks every node the predicate picks, releasing its data.
template <typename Predicate>
void purge(Predicate picks) {
  if (!state) return;
  QueuedEvent* previous = nullptr;
  for (QueuedEvent* node = state->head; node;) {
    QueuedEvent* next = node->next;
    if (picks(node)) {
      if (previous)
        previous->next = next;
      else
        state->head = next;
      if (state->tail == node) state->tail = previous;
      release_data(node->data, node->release);
      pool_free(state->pool, node);
    } else {
      previous = node;
    }
    node = next;
  }
}

bool matches(ObjectId wanted, ObjectId value) { return wanted == -1 || wanted == value; }

}  // namespace

void init_event_queue() {
  state = static_cast<EventState*>(allocate_state_block(sizeof(EventState), make_state, nullptr));
  init_event_callbacks();
}

void shutdown_event_queue() {
  if (!state) return;
  purge([](const QueuedEvent*) { return true; });
  release_data(state->current.data, state->current.release);
  state->current.data = nullptr;
  shutdown_event_callbacks();
  // The pool and the state block go with the general heap.
  state = nullptr;
}

EventState* event_state() { return state; }

void post_event(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, void* data,
                EventDataRelease release) {
  if (!state) {
    release_data(data, release);
    return;
  }
  bool collapsed = state->tail && code < FIRST_UNCOLLAPSED_EVENT && same_event(state->tail, code, object, window, type);
  bool queued = false;
  if (!collapsed) {
    if (auto* node = static_cast<QueuedEvent*>(pool_alloc(state->pool))) {
      *node = {nullptr, code, object, window, type, data, release};
      if (state->tail)
        state->tail->next = node;
      else
        state->head = node;
      state->tail = node;
      queued = true;
    }
  }
  if (has_bound_callbacks()) {
    // Callbacks read the posted event through the accessors.
    CurrentEvent saved = state->current;
    state->current = {code, window, object, type, data, release};
    run_bound_callbacks(code, object, window, type);
    state->current = saved;
  }
  // A collapsed event, or one with no room in the queue, never owns its data.
  if (!queued) release_data(data, release);
}

std::int32_t take_event() {
  if (!state) return 0;
  CurrentEvent& current = state->current;
  current.code = 0;
  release_data(current.data, current.release);
  current.data = nullptr;
  current.release = nullptr;
  current.type = -1;
  QueuedEvent* node = state->head;
  if (!node) return 0;
  current = {node->code, node->window, node->object, node->type, node->data, node->release};
  state->head = node->next;
  if (state->tail == node) state->tail = nullptr;
  pool_free(state->pool, node);
  return current.code;
}

void purge_window_events(ObjectId window) {
  purge([window](const QueuedEvent* node) { return node->window == window; });
}

void purge_gadget_events(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  purge([=](const QueuedEvent* node) {
    return matches(code, node->code) && matches(object, node->object) && matches(window, node->window) &&
           matches(type, node->type);
  });
}

std::int32_t event_code() { return state ? state->current.code : 0; }
ObjectId event_object() { return state ? state->current.object : 0; }
ObjectId event_window() { return state ? state->current.window : 0; }
std::int32_t event_type() { return state ? state->current.type : -1; }
void* event_data() { return state ? state->current.data : nullptr; }
