#include "ui/drop_target.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t ALL = DROP_COPY | DROP_MOVE | DROP_LINK;
constexpr std::uint32_t MOUSE_BUTTON = 1;  // other key-state bits do not count

struct Case {
  std::uint32_t keys, accepted, allowed, expected;
};

TEST(DropEffect, FollowsTheKeysWithinWhatBothSidesAllow) {
  const Case cases[] = {
      {0, ALL, ALL, DROP_COPY},
      {KEY_SHIFT, ALL, ALL, DROP_MOVE},
      {KEY_CONTROL, ALL, ALL, DROP_COPY},
      {KEY_CONTROL | KEY_SHIFT, ALL, ALL, DROP_LINK},
      {KEY_ALT, ALL, ALL, DROP_LINK},
      {KEY_ALT | KEY_SHIFT, ALL, ALL, DROP_COPY},  // not exactly Alt
      {KEY_ALT | MOUSE_BUTTON, ALL, ALL, DROP_LINK},
      {0, DROP_MOVE | DROP_LINK, ALL, DROP_MOVE},        // no copy: move wins
      {KEY_ALT, DROP_COPY | DROP_MOVE, ALL, DROP_COPY},  // Alt wants a link: none to be had
      {0, DROP_LINK, ALL, DROP_LINK},
      {0, ALL, DROP_NONE, DROP_NONE},
      {0, DROP_NONE, ALL, DROP_NONE},
      // A target that takes copies only, as the viewer's canvas does.
      {0, DROP_COPY, ALL, DROP_COPY},
      {KEY_SHIFT, DROP_COPY, ALL, DROP_COPY},
      {KEY_CONTROL | KEY_SHIFT, DROP_COPY, ALL, DROP_COPY},
      {0, DROP_COPY, DROP_MOVE | DROP_LINK, DROP_NONE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(choose_drop_effect(c.keys, c.accepted, c.allowed), c.expected)
        << "keys " << c.keys << " accepted " << c.accepted << " allowed " << c.allowed;
}

}  // namespace
