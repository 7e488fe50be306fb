#include "runtime/text_scratch.h"

#include "native/system/heap.h"

#include <cstring>

namespace {

constexpr std::size_t INITIAL_HEAP_SIZE = 4096;
constexpr std::size_t INITIAL_CAPACITY = 16;

struct Scratch {
  native::Heap* heap = nullptr;
  char16_t* buffer = nullptr;
  std::size_t capacity = 0;  // in characters
  std::size_t length = 0;
};

Scratch scratch;

}  // namespace

void init_text() {
  scratch.heap = native::heap_create(INITIAL_HEAP_SIZE);
  scratch.buffer = static_cast<char16_t*>(native::heap_alloc(scratch.heap, INITIAL_CAPACITY * sizeof(char16_t), true));
  scratch.capacity = scratch.buffer ? INITIAL_CAPACITY : 0;
  scratch.length = 0;
}

void shutdown_text() {
  native::heap_free(scratch.heap, scratch.buffer);
  native::heap_destroy(scratch.heap);
  scratch = Scratch{};
}

void text_scratch_clear() { scratch.length = 0; }

bool text_scratch_append(std::u16string_view text) {
  if (!scratch.heap) return false;
  std::size_t needed = scratch.length + text.size();
  if (needed > scratch.capacity) {
    std::size_t capacity = scratch.capacity ? scratch.capacity : INITIAL_CAPACITY;
    while (capacity < needed) capacity *= 2;
    auto* grown =
        static_cast<char16_t*>(native::heap_realloc(scratch.heap, scratch.buffer, capacity * sizeof(char16_t), false));
    if (!grown) return false;
    scratch.buffer = grown;
    scratch.capacity = capacity;
  }
  if (!text.empty()) std::memcpy(scratch.buffer + scratch.length, text.data(), text.size() * sizeof(char16_t));
  scratch.length = needed;
  return true;
}

std::u16string_view text_scratch() { return {scratch.buffer, scratch.length}; }

std::size_t text_scratch_capacity() { return scratch.capacity; }
