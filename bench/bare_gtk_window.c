/* The floor the launcher's start-up is measured against: a bare GTK window of the login window's
 * size that paints one colour. It writes "first-frame <monotonic microseconds>" on its first draw,
 * as the launcher does with QRV_TRACE_FIRST_FRAME set.
 *
 * Two options make reference windows that show where the launcher's own share begins:
 *   --text TEXT  the window also paints TEXT in the launcher's font, regular and bold, at its
 *                size (the login window's faces are loaded, as its first frame loads them);
 *   --get URL    after the first frame, one GET of URL through libcurl's GnuTLS build, opened as
 *                the launcher's web client opens it (its libraries are mapped, as in the login
 *                phase's requests). */
#include <curl/curl.h>
#include <dlfcn.h>
#include <gtk/gtk.h>
#include <stdio.h>
#include <string.h>

static const char* text;
static const char* get_url;

static void paint_text(cairo_t* cr) {
  static const char* const weights[] = {"Noto Sans CJK SC 12px", "Noto Sans CJK SC Bold 12px"};
  cairo_set_source_rgb(cr, 1, 1, 1);
  for (int i = 0; i < 2; ++i) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string(weights[i]);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text, -1);
    cairo_move_to(cr, 20, 20 + 40 * i);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
  }
}

static size_t discard(char* data, size_t size, size_t count, void* user) {
  (void)data;
  (void)user;
  return size * count;
}

/* One GET on a thread of its own, as the launcher's requests run. */
static gpointer get_once(gpointer data) {
  (void)data;
  void* curl = dlopen("libcurl-gnutls.so.4", RTLD_NOW | RTLD_LOCAL);
  if (curl == NULL) {
    fprintf(stderr, "bare_gtk_window: %s\n", dlerror());
    return NULL;
  }
  CURL* (*easy_init)(void) = (CURL * (*)(void)) dlsym(curl, "curl_easy_init");
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...) =
      (CURLcode(*)(CURL*, CURLoption, ...))dlsym(curl, "curl_easy_setopt");
  CURLcode (*easy_perform)(CURL*) = (CURLcode(*)(CURL*))dlsym(curl, "curl_easy_perform");
  void (*easy_cleanup)(CURL*) = (void (*)(CURL*))dlsym(curl, "curl_easy_cleanup");
  CURL* easy = easy_init();
  easy_setopt(easy, CURLOPT_URL, get_url);
  easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard);
  easy_setopt(easy, CURLOPT_TIMEOUT, 5L);
  easy_perform(easy);
  easy_cleanup(easy);
  return NULL;
}

static gboolean on_draw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  static gboolean reported = FALSE;
  (void)widget;
  (void)data;
  cairo_set_source_rgb(cr, 0.08, 0.12, 0.2);
  cairo_paint(cr);
  if (text != NULL) paint_text(cr);
  if (!reported) {
    reported = TRUE;
    fprintf(stderr, "first-frame %" G_GINT64_FORMAT "\n", g_get_monotonic_time());
    fflush(stderr);
    if (get_url != NULL) g_thread_unref(g_thread_new("get", get_once, NULL));
  }
  return TRUE;
}

int main(int argc, char** argv) {
  int sizes[2] = {640, 420};
  int given = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
      text = argv[++i];
    } else if (strcmp(argv[i], "--get") == 0 && i + 1 < argc) {
      get_url = argv[++i];
    } else if (given < 2) {
      sizes[given++] = atoi(argv[i]);
    }
  }
  gtk_init(NULL, NULL);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), sizes[0], sizes[1]);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GtkWidget* area = gtk_drawing_area_new();
  g_signal_connect(area, "draw", G_CALLBACK(on_draw), NULL);
  gtk_container_add(GTK_CONTAINER(window), area);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
