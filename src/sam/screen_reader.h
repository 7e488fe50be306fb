#pragma once
// A screen file of any mode read as its bytes arrive, in pieces of any
// size, in bounded memory: the first bytes are kept (a header, the display
// and the palette table of any mode), the line records are scanned as they
// come, keeping only those the picture can use, and every byte counts
// towards the file's length, needed or not. Until the length is known a
// file may still turn out to be another mode, or to have no header, so the
// records are scanned for both readings a header allows.
#include "sam/file_header.h"
#include "sam/line_changes.h"
#include "sam/sam_screen.h"
#include "sam/screen_kind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

class ScreenReader {
 public:
  // `named_mode`: the mode the file's name gives (mode_of_name), 0 when it
  // gives none; `forced_mode`: the user's, 0 when not given.
  explicit ScreenReader(int named_mode = 0, int forced_mode = 0);

  // Takes the next bytes of the file. Answers how many of them were needed:
  // all of them until nothing further can change the picture, fewer in the
  // piece where that happens, none after.
  std::size_t feed(const std::uint8_t* bytes, std::size_t count);
  // Takes `count` zero bytes without their being read (a hole in a sparse
  // file), with the same result as feeding them; once complete(), any bytes
  // may be counted this way, since none of them is needed. In constant time
  // whatever the count.
  void skip_zeros(std::int64_t count);
  // Nothing further can change what the file is or its picture: the rest
  // only counts towards its length.
  bool complete() const;
  // The mode the file is whatever follows, or 0 while later bytes may still
  // change it (a header that may yet agree, a length that may yet be mode
  // 1's or 2's).
  int settled_mode() const;
  // The bytes fed so far, needed or not.
  std::int64_t size() const { return size_; }
  // The file ended: which kind of screen it is, with the screen decoded into
  // `screen`; else why it is none, and `screen` is left alone. Once only.
  KindVerdict finish(SamScreen& screen);

 private:
  // The most that is kept whole: a header and a mode 4 body up to its
  // records, with room to put the kept records after it.
  static constexpr std::int32_t HELD_BYTES = FILE_HEADER_BYTES + records_offset(4);

  struct Records {
    std::int64_t offset = -1;  // where in the file they start; -1 for no such reading
    LineChangeScan scan;
    std::size_t take(std::int64_t at, const std::uint8_t* bytes, std::size_t count);
  };

  std::array<std::uint8_t, HELD_BYTES + MAX_KEPT_RECORD_BYTES + 1> held_;
  std::int64_t size_ = 0;
  int named_mode_;
  int forced_mode_;
  std::optional<FileHeader> header_;
  Records plain_;   // no header: the body at 0, in the named mode or else mode 4
  Records headed_;  // after a header, in its mode
};
