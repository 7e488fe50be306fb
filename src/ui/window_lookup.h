#pragma once
// The number of the runtime window that contains a native window: the first
// ancestor (the window itself included) carrying the window-number property.
#include "runtime/object_table.h"

#include <string_view>

namespace native { struct Window; }

// Property on every runtime window: its number + 1, so that 0 means none.
inline constexpr std::u16string_view WINDOW_ID_PROPERTY = u"VX_WindowID";

// -1 when no ancestor is a runtime window.
ObjectId window_number_of(native::Window* window);
