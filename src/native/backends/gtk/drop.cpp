// Drags from other programs into the core's drag tracker.
#include "native/backends/gtk/drop.h"

#include "native/backends/gtk/uri_list.h"
#include "native/windowing/drag_drop.h"
#include "native/windowing/input_state.h"

#include <memory>

namespace native::gtk {
namespace {

// The drag under way. GTK hands out the data only on request, so the first
// motion asks for it and the core hears of the drag once it has arrived.
struct Drag {
  GdkDragContext* context = nullptr;
  std::unique_ptr<DataObject> data;
  bool requested = false;
  bool entered = false;
  bool dropping = false;
  Point point{};
  guint time = 0;
};

Drag& drag() {
  static Drag d;
  return d;
}

GdkAtom uri_list() { return gdk_atom_intern_static_string("text/uri-list"); }

std::uint32_t allowed_effects(GdkDragContext* context) {
  GdkDragAction actions = gdk_drag_context_get_actions(context);
  std::uint32_t effects = 0;
  if (actions & GDK_ACTION_COPY) effects |= DROPEFFECT_COPY;
  if (actions & GDK_ACTION_MOVE) effects |= DROPEFFECT_MOVE;
  if (actions & GDK_ACTION_LINK) effects |= DROPEFFECT_LINK;
  return effects;
}

GdkDragAction action_for(std::uint32_t effect) {
  if (effect & DROPEFFECT_COPY) return GDK_ACTION_COPY;
  if (effect & DROPEFFECT_MOVE) return GDK_ACTION_MOVE;
  if (effect & DROPEFFECT_LINK) return GDK_ACTION_LINK;
  return GdkDragAction(0);
}

std::uint32_t key_state() {
  std::uint32_t state = mouse_key_flags();
  return state ? state : MK_LBUTTON;
}

void forget_drag() {
  Drag& d = drag();
  if (d.entered) drag_cancel();
  d = Drag{};
}

// Tells the core where the drag is and shows the effect it chose.
void report_motion(GtkWidget* widget) {
  Drag& d = drag();
  TopLevel* top = top_level_of_widget(widget);
  if (!top || !d.data) return;
  std::uint32_t effect = drag_move(d.data.get(), d.point, key_state(), allowed_effects(d.context));
  d.entered = true;
  gdk_drag_status(d.context, action_for(effect), d.time);
  note_input();
}

void finish_drop(GtkWidget* widget) {
  Drag& d = drag();
  std::uint32_t effect = DROPEFFECT_NONE;
  if (d.data && top_level_of_widget(widget))
    effect = drag_drop(d.data.get(), d.point, key_state(), allowed_effects(d.context));
  gtk_drag_finish(d.context, effect != DROPEFFECT_NONE, FALSE, d.time);
  d.entered = false;  // the drop ended the core's drag
  forget_drag();
  note_input();
}

// The drag as of this event: a new context starts a new drag.
Drag& follow(GdkDragContext* context, const TopLevel& top, gint x, gint y, guint time) {
  Drag& d = drag();
  if (d.context != context) {
    forget_drag();
    d.context = context;
  }
  d.point = screen_point(top, x, y);
  d.time = time;
  return d;
}

gboolean on_motion(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
  Drag& d = follow(context, *static_cast<TopLevel*>(data), x, y, time);
  if (d.data) {
    report_motion(widget);
  } else {
    gdk_drag_status(context, GdkDragAction(0), time);
    if (!d.requested) {
      d.requested = true;
      gtk_drag_get_data(widget, context, uri_list(), time);
    }
  }
  return TRUE;
}

void on_received(GtkWidget* widget, GdkDragContext* context, gint, gint, GtkSelectionData* selection, guint, guint time,
                 gpointer) {
  Drag& d = drag();
  if (d.context != context) return;
  d.time = time;
  const guchar* bytes = gtk_selection_data_get_length(selection) > 0 ? gtk_selection_data_get_data(selection) : nullptr;
  std::string text = bytes ? std::string(reinterpret_cast<const char*>(bytes),
                                         static_cast<std::size_t>(gtk_selection_data_get_length(selection)))
                           : std::string();
  // A drag of no local files stays without data: nothing here can take it.
  std::vector<std::u16string> paths = paths_from_uri_list(text.c_str());
  if (!paths.empty()) d.data = make_file_list_data(std::move(paths));
  if (d.dropping)
    finish_drop(widget);
  else
    report_motion(widget);
}

gboolean on_drop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
  Drag& d = follow(context, *static_cast<TopLevel*>(data), x, y, time);
  d.dropping = true;
  if (d.data)
    finish_drop(widget);
  else if (!d.requested) {
    d.requested = true;
    gtk_drag_get_data(widget, context, uri_list(), time);
  }
  return TRUE;
}

gboolean cancel_if_still_left(gpointer context) {
  Drag& d = drag();
  if (d.context == context && !d.dropping) {
    forget_drag();
    note_input();
  }
  return G_SOURCE_REMOVE;
}

// GTK also reports a leave just before a drop; only a leave that no drop
// follows ends the drag.
void on_leave(GtkWidget*, GdkDragContext* context, guint, gpointer) {
  if (drag().context == context) g_idle_add(cancel_if_still_left, context);
}

}  // namespace

void enable_drops(TopLevel& top) {
  GtkTargetEntry target{const_cast<gchar*>("text/uri-list"), 0, 0};
  gtk_drag_dest_set(top.client, GtkDestDefaults(0), &target, 1,
                    GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
  g_signal_connect(top.client, "drag-motion", G_CALLBACK(on_motion), &top);
  g_signal_connect(top.client, "drag-data-received", G_CALLBACK(on_received), &top);
  g_signal_connect(top.client, "drag-drop", G_CALLBACK(on_drop), &top);
  g_signal_connect(top.client, "drag-leave", G_CALLBACK(on_leave), &top);
}

}  // namespace native::gtk
