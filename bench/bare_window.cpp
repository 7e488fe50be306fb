// The yardstick bench/startup.py sets the viewer's start-up against: a bare
// GTK 3 window of the viewer's shape (a menu bar over a 512 x 384 drawing
// area, fixed size, centred, kept above), started the same way and
// reporting its first draw the same way. With TESSELON_REPORT_FIRST_DRAW
// set it prints "first-draw <ns>" (CLOCK_MONOTONIC) on standard error at the
// end of its first draw. The close box ends it; arguments are ignored, so it
// takes the viewer's command line.
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

namespace {

bool report_pending = false;

gboolean on_draw(GtkWidget*, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  if (report_pending) {
    report_pending = false;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "first-draw %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  }
  return TRUE;
}

void add_menu(GtkWidget* bar, const char* title, std::initializer_list<const char*> items) {
  GtkWidget* menu = gtk_menu_new();
  for (const char* item : items) gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_menu_item_new_with_label(item));
  GtkWidget* entry = gtk_menu_item_new_with_label(title);
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(entry), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), entry);
}

}  // namespace

int main(int argc, char** argv) {
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "bare_window: cannot open the display\n");
    return 1;
  }
  const char* report = std::getenv("TESSELON_REPORT_FIRST_DRAW");
  report_pending = report && *report && *report != '0';

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Bare window");
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* bar = gtk_menu_bar_new();
  add_menu(bar, "File", {"Open...", "Save image...", "Quit"});
  add_menu(bar, "Mode", {"x1", "x2"});
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, 512, 384);
  gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), area, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window), box);
  g_signal_connect(area, "draw", G_CALLBACK(on_draw), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
