// Building GTK menus from the core's menus.
#include "native/backends/gtk/menu_bar.h"

#include "native/backends/gtk/menu_text.h"
#include "native/windowing/menu.h"
#include "native/windowing/message_queue.h"

namespace native::gtk {
namespace {

struct ItemBinding {
  Window* window;
  std::uint32_t id;
  bool checked;
};

bool resetting_check = false;

void on_activate(GtkMenuItem* item, gpointer data) {
  if (resetting_check) return;
  auto* binding = static_cast<ItemBinding*>(data);
  // GTK has already flipped a check item; the mark stays the core's until
  // the command changes it.
  if (GTK_IS_CHECK_MENU_ITEM(item)) {
    resetting_check = true;
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), binding->checked);
    resetting_check = false;
  }
  if (post_message(binding->window, WM_COMMAND, binding->id, 0)) note_input();
}

void free_binding(gpointer data, GClosure*) { delete static_cast<ItemBinding*>(data); }

GtkWidget* make_item(Window* window, const MenuItemInfo& info) {
  MenuText text = menu_text(info.text);
  bool checked = info.state & MFS_CHECKED;
  GtkWidget* item = checked ? gtk_check_menu_item_new() : gtk_menu_item_new();
  if (checked) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), TRUE);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
  GtkWidget* label = gtk_label_new_with_mnemonic(text.label.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
  if (!text.hint.empty()) {
    // A plain dimmed label: GTK's accelerator label would rename keys.
    GtkWidget* hint = gtk_label_new(text.hint.c_str());
    gtk_style_context_add_class(gtk_widget_get_style_context(hint), "dim-label");
    gtk_box_pack_end(GTK_BOX(row), hint, FALSE, FALSE, 0);
  }
  gtk_container_add(GTK_CONTAINER(item), row);
  if ((info.state & MFS_GRAYED) != 0) gtk_widget_set_sensitive(item, FALSE);
  g_signal_connect_data(item, "activate", G_CALLBACK(on_activate), new ItemBinding{window, info.id, checked},
                        free_binding, GConnectFlags(0));
  return item;
}

GtkWidget* make_menu(Window* window, Menu* menu);

GtkWidget* make_entry(Window* window, Menu* menu, int position, bool in_bar) {
  MenuItemInfo info;
  info.mask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
  if (!get_menu_item_info(menu, static_cast<std::uint32_t>(position), true, info)) return nullptr;
  if (info.type & MFT_SEPARATOR) return in_bar ? nullptr : gtk_separator_menu_item_new();
  if (!info.submenu) return make_item(window, info);
  GtkWidget* item = gtk_menu_item_new_with_mnemonic(menu_text(info.text).label.c_str());
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), make_menu(window, info.submenu));
  if ((info.state & MFS_GRAYED) != 0) gtk_widget_set_sensitive(item, FALSE);
  return item;
}

GtkWidget* make_menu(Window* window, Menu* menu) {
  GtkWidget* shell = gtk_menu_new();
  int count = get_menu_item_count(menu);
  for (int i = 0; i < count; ++i)
    if (GtkWidget* entry = make_entry(window, menu, i, false)) gtk_menu_shell_append(GTK_MENU_SHELL(shell), entry);
  return shell;
}

}  // namespace

void sync_menu_bar(TopLevel& top) {
  if (top.menu_bar) {
    gtk_widget_destroy(top.menu_bar);
    top.menu_bar = nullptr;
  }
  Menu* menu = get_menu(top.window);
  if (!menu) return;
  top.menu_bar = gtk_menu_bar_new();
  int count = get_menu_item_count(menu);
  for (int i = 0; i < count; ++i)
    if (GtkWidget* entry = make_entry(top.window, menu, i, true))
      gtk_menu_shell_append(GTK_MENU_SHELL(top.menu_bar), entry);
  gtk_box_pack_start(GTK_BOX(top.box), top.menu_bar, FALSE, FALSE, 0);
  if (top.shown) gtk_widget_show_all(top.menu_bar);
}

int measure_menu_bar_height() {
  GtkWidget* window = gtk_offscreen_window_new();
  GtkWidget* bar = gtk_menu_bar_new();
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), gtk_menu_item_new_with_mnemonic("_File"));
  gtk_container_add(GTK_CONTAINER(window), bar);
  gtk_widget_show_all(window);
  int minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(bar, &minimum, &natural);
  gtk_widget_destroy(window);
  return natural;
}

}  // namespace native::gtk
