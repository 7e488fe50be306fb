#pragma once
// The numbered events the runtime raises. Every event carries its code, the
// object concerned, the number of the top-level window (or -1 when the window
// has no record yet) and a type.
#include <cstdint>

constexpr std::int32_t EVENT_GADGET = 13100;
constexpr std::int32_t EVENT_MENU = 13101;
constexpr std::int32_t EVENT_SYSTRAY = 13102;
constexpr std::int32_t EVENT_ACTIVATE_WINDOW = 13104;
constexpr std::int32_t EVENT_WINDOW_DROP = 13105;
constexpr std::int32_t EVENT_GADGET_DROP = 13106;
constexpr std::int32_t EVENT_MINIMIZE_WINDOW = 13107;
constexpr std::int32_t EVENT_MAXIMIZE_WINDOW = 13108;
constexpr std::int32_t EVENT_RESTORE_WINDOW = 13109;
constexpr std::int32_t EVENT_TIMER = 13110;
constexpr std::int32_t EVENT_RIGHT_CLICK = 13111;
constexpr std::int32_t EVENT_LEFT_CLICK = 13112;
constexpr std::int32_t EVENT_LEFT_DOUBLE_CLICK = 13113;
constexpr std::int32_t EVENT_DEACTIVATE_WINDOW = 13114;
constexpr std::int32_t EVENT_REPAINT = 13115;
constexpr std::int32_t EVENT_CLOSE_WINDOW = 13116;
constexpr std::int32_t EVENT_MOVE_WINDOW = 13117;
constexpr std::int32_t EVENT_SIZE_WINDOW = 13118;

// Events with codes from here on are never collapsed into their predecessor.
constexpr std::int32_t FIRST_UNCOLLAPSED_EVENT = 65536;
