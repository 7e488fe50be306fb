#pragma once
// A screen file decoded as its bytes arrive, in pieces of any size, in
// bounded memory: the fixed part is kept, the line-change table is scanned
// as it comes (only the records the picture can use are kept), and every
// byte counts towards the size rule, needed or not. For front ends that are
// handed a file piece by piece, such as an image loader.
#include "screen/line_changes.h"
#include "screen/screen_decoder.h"

#include <array>
#include <cstddef>
#include <cstdint>

class IncrementalScreen {
 public:
  // Takes the next bytes of the file. Answers how many of them were needed:
  // all of them until nothing further can change the picture, fewer in the
  // piece where that happens, none after.
  std::size_t feed(const std::uint8_t* bytes, std::size_t count);
  // Nothing further can change the picture: the end mark arrived, or every
  // row has its change. The rest of the file only counts towards its size.
  bool complete() const { return scan_.finished; }
  // The bytes fed so far, needed or not.
  std::int64_t size() const { return size_; }
  // The file ended: decodes the screen when its size is usable, else
  // answers why not and leaves `screen` alone.
  ScreenSize finish(DecodedScreen& screen);

 private:
  // The bounded copy: the fixed part as it arrives, then what the scan kept.
  std::array<std::uint8_t, BOUNDED_SCREEN_BYTES> held_;
  std::int32_t fixed_bytes_ = 0;
  LineChangeScan scan_;
  std::int64_t size_ = 0;
};
