#pragma once
// Window classes and windows: creation and destruction, procedures and
// subclassing, properties, the parent chain, styles, rectangles and frame
// arithmetic, placement, showing, enabling, activation and focus.
//
// Handles are opaque and never reused: every call on a stale or made-up
// handle answers 0/false/null and changes nothing.
#include "native/graphics/device_context.h"
#include "native/windowing/messages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace native {

struct Window;
struct Menu;
struct Cursor;
using Hwnd = Window*;

// Window styles.
constexpr std::uint32_t WS_OVERLAPPED = 0x00000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_MAXIMIZE = 0x01000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

constexpr std::uint32_t WS_EX_DLGMODALFRAME = 0x00000001;
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;

// Class styles.
constexpr std::uint32_t CS_VREDRAW = 0x1;
constexpr std::uint32_t CS_HREDRAW = 0x2;
constexpr std::uint32_t CS_DBLCLKS = 0x8;

// System colour indices; a class background of index + 1 paints that colour.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_BTNFACE = 15;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Window longs.
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_STYLE = -16;
constexpr int GWL_ID = -12;
constexpr int GWL_WNDPROC = -4;

// Related windows.
constexpr unsigned GW_HWNDFIRST = 0;
constexpr unsigned GW_HWNDLAST = 1;
constexpr unsigned GW_HWNDNEXT = 2;
constexpr unsigned GW_HWNDPREV = 3;
constexpr unsigned GW_OWNER = 4;
constexpr unsigned GW_CHILD = 5;

// Show commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// Placement.
inline Window* const HWND_TOP = nullptr;
inline Window* const HWND_BOTTOM = reinterpret_cast<Window*>(1);
inline Window* const HWND_TOPMOST = reinterpret_cast<Window*>(-1);
inline Window* const HWND_NOTOPMOST = reinterpret_cast<Window*>(-2);
constexpr std::uint32_t SWP_NOSIZE = 0x1;
constexpr std::uint32_t SWP_NOMOVE = 0x2;
constexpr std::uint32_t SWP_NOZORDER = 0x4;
constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;
constexpr std::uint32_t SWP_HIDEWINDOW = 0x80;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXFIXEDFRAME = 7;
constexpr int SM_CYFIXEDFRAME = 8;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;

// --- classes -------------------------------------------------------------

struct WindowClassInfo {
  std::uint32_t style = 0;
  WindowProc procedure = nullptr;
  // A live brush, or a system colour index + 1 (e.g. COLOR_BTNFACE + 1).
  std::uintptr_t background = 0;
  Cursor* cursor = nullptr;
  std::u16string_view name;
};

// False when the name is taken or the procedure is missing.
bool register_class(const WindowClassInfo& info);
// False while windows of the class exist, or for an unknown name.
bool unregister_class(std::u16string_view name);
bool get_class_info(std::u16string_view name, WindowClassInfo& out);  // out.name is left empty
std::u16string get_class_name(Window* window);

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CreateStruct {
  void* create_param;
  Menu* menu;
  Window* parent;
  int height, width, y, x;
  std::uint32_t style;
  const char16_t* title;
  const char16_t* class_name;
  std::uint32_t ex_style;
};

// --- creation and the tree ---------------------------------------------

// `parent` is the parent for WS_CHILD windows and the owner otherwise. Sends
// WM_GETMINMAXINFO (top level), WM_NCCREATE, WM_CREATE, WM_SIZE and WM_MOVE,
// then shows the window when WS_VISIBLE is given. Null on failure.
Window* create_window(std::uint32_t ex_style, std::u16string_view class_name, std::u16string_view title,
                      std::uint32_t style, int x, int y, int width, int height, Window* parent, Menu* menu,
                      std::intptr_t id, void* create_param = nullptr);
// WM_DESTROY to the window, its children destroyed, WM_NCDESTROY last; the
// window's menu bar goes with it.
bool destroy_window(Window* window);
bool is_window(Window* window);
// The thread that made the window, and through `process` (when given) its
// process. 0 for a stale or made-up handle, and then *process is 0 too.
std::uint32_t get_window_thread_process_id(Window* window, std::uint32_t* process = nullptr);
bool is_child(Window* parent, Window* window);  // any depth
Window* get_parent(Window* window);             // children only; null for a top-level window
Window* get_ancestor_root(Window* window);      // the top-level window containing it
Window* get_window(Window* window, unsigned relation);
// Calls `visit` for every descendant, depth-first, siblings topmost first
// (creation order unless the Z order was changed), until it answers false.
// False when the window is stale.
bool enum_child_windows(Window* parent, bool (*visit)(Window*, std::intptr_t), std::intptr_t data);
// Top-level windows, topmost first.
std::vector<Window*> top_level_windows();

// --- procedures ----------------------------------------------------------

std::intptr_t send_message(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
std::intptr_t def_window_proc(Window* window, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
std::intptr_t call_window_proc(WindowProc procedure, Window* window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam);
// Replaces the procedure and answers the old one (null for a stale window).
WindowProc set_window_proc(Window* window, WindowProc procedure);
WindowProc get_window_proc(Window* window);

// GWL_STYLE, GWL_EXSTYLE, GWL_ID; answers the old value (0 on failure).
std::intptr_t get_window_long(Window* window, int index);
std::intptr_t set_window_long(Window* window, int index, std::intptr_t value);

bool set_window_text(Window* window, std::u16string_view text);
std::u16string get_window_text(Window* window);

// Properties keyed by text (compared exactly). Removing answers the old value.
bool set_prop(Window* window, std::u16string_view name, void* value);
void* get_prop(Window* window, std::u16string_view name);
void* remove_prop(Window* window, std::u16string_view name);

// --- geometry ------------------------------------------------------------

Rect get_window_rect(Window* window);  // screen coordinates; empty for a stale handle
Rect get_client_rect(Window* window);  // (0, 0, width, height)
// Grows a client rectangle into the outer rectangle for the given styles.
bool adjust_window_rect_ex(Rect& rect, std::uint32_t style, bool has_menu, std::uint32_t ex_style);
bool screen_to_client(Window* window, Point& point);
bool client_to_screen(Window* window, Point& point);
// Maps points between two windows' client coordinates (null = the screen).
int map_window_points(Window* from, Window* to, Point* points, unsigned count);
// The deepest visible, enabled window whose client area holds the point.
Window* window_from_point(Point screen);
int get_system_metrics(int index);
std::uint32_t get_sys_color(int index);  // 0x00BBGGRR

bool set_window_pos(Window* window, Window* insert_after, int x, int y, int width, int height, std::uint32_t flags);
bool move_window(Window* window, int x, int y, int width, int height, bool repaint);
// Answers whether the window was visible before.
bool show_window(Window* window, int command);
bool is_window_visible(Window* window);  // itself and every ancestor
bool is_iconic(Window* window);
bool is_zoomed(Window* window);
// Answers whether the window was disabled before.
bool enable_window(Window* window, bool enable);
bool is_window_enabled(Window* window);

// --- activation and focus ------------------------------------------------

// Activates the top-level window containing `window`; answers the previous
// active window.
Window* set_active_window(Window* window);
Window* get_active_window();
Window* get_foreground_window();
bool set_foreground_window(Window* window);
// Answers the previous focus window; null `window` clears the focus.
Window* set_focus(Window* window);
Window* get_focus();
// A window of another program became active (a backend reports it): ours is
// deactivated and neither the active nor the foreground window is ours.
void other_program_activated();

// --- shared pieces of the core ------------------------------------------

// Whole-process state: init gives a fresh window system, shutdown destroys
// every window, menu and table and empties the queue. System services and
// graphics objects need neither: a program without windows never calls them.
struct Backend;
void init(const Backend* backend);
void shutdown();
bool is_initialized();

// OLE-like start counters: registration of drop targets needs one.
bool ole_initialize();
void ole_uninitialize();
bool init_common_controls(std::uint32_t classes);

}  // namespace native
