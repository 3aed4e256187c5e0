/* The floor the launcher's start-up is measured against: a bare GTK window of the login window's
 * size that paints one colour. It writes "first-frame <monotonic microseconds>" on its first draw,
 * as the launcher does with QRV_TRACE_FIRST_FRAME set. */
#include <gtk/gtk.h>
#include <stdio.h>

static gboolean on_draw(GtkWidget *widget, cairo_t *cr, gpointer data) {
  static gboolean reported = FALSE;
  (void)widget;
  (void)data;
  cairo_set_source_rgb(cr, 0.08, 0.12, 0.2);
  cairo_paint(cr);
  if (!reported) {
    reported = TRUE;
    fprintf(stderr, "first-frame %" G_GINT64_FORMAT "\n", g_get_monotonic_time());
    fflush(stderr);
  }
  return TRUE;
}

int main(int argc, char **argv) {
  int width = argc > 1 ? atoi(argv[1]) : 640;
  int height = argc > 2 ? atoi(argv[2]) : 420;
  gtk_init(NULL, NULL);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), width, height);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GtkWidget *area = gtk_drawing_area_new();
  g_signal_connect(area, "draw", G_CALLBACK(on_draw), NULL);
  gtk_container_add(GTK_CONTAINER(window), area);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
