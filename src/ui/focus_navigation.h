#pragma once
// Tab and Shift+Tab: the keyboard focus moves among the enabled, visible tab
// stops of the active window, wrapping at either end.
void move_focus(bool forward);
