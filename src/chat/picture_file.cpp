#include "chat/picture_file.h"

#include <glib/gstdio.h>

#include "platform/window_system.h"

namespace qrv {
namespace {

struct Chooser {
  GtkWidget* dialog = nullptr;
  std::function<void(const std::string&)> on_chosen;
};

Chooser& OpenChooser() {
  static Chooser chooser;
  return chooser;
}

void OnResponse(GtkDialog* dialog, gint response, gpointer) {
  Chooser& chooser = OpenChooser();
  std::string chosen;
  if (response == GTK_RESPONSE_ACCEPT) {
    g_autofree gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
    if (file != nullptr) chosen = file;
  }
  auto on_chosen = std::move(chooser.on_chosen);
  chooser = Chooser{};
  gtk_widget_destroy(GTK_WIDGET(dialog));
  if (!chosen.empty() && on_chosen) on_chosen(chosen);
}

// A chooser that goes without an answer (its program is ending) leaves nothing behind.
void OnDestroyed(GtkWidget* dialog, gpointer) {
  if (OpenChooser().dialog == dialog) OpenChooser() = Chooser{};
}

}  // namespace

bool SavePictureAsPng(const std::string& source, const std::string& target) {
  GError* error = nullptr;
  GdkPixbuf* picture = gdk_pixbuf_new_from_file(source.c_str(), &error);
  if (picture == nullptr) {
    g_clear_error(&error);
    return false;
  }
  gchar* png = nullptr;
  gsize size = 0;
  const bool encoded = gdk_pixbuf_save_to_buffer(picture, &png, &size, "png", &error, nullptr);
  g_object_unref(picture);
  if (!encoded) {
    g_clear_error(&error);
    return false;
  }
  g_autofree gchar* folder = g_path_get_dirname(target.c_str());
  bool saved = g_mkdir_with_parents(folder, 0700) == 0 &&
               g_file_set_contents(target.c_str(), png, static_cast<gssize>(size), &error);
  g_clear_error(&error);
  g_free(png);
  return saved;
}

bool ChoosePictureFile(HWND owner, std::function<void(const std::string&)> on_chosen) {
  Chooser& chooser = OpenChooser();
  if (chooser.dialog != nullptr) {
    gtk_window_present(GTK_WINDOW(chooser.dialog));
    return false;
  }
  auto* native = static_cast<GtkWidget*>(WindowSystem::Get().NativeHandle(owner));
  if (native == nullptr) return false;
  GtkWidget* toplevel = gtk_widget_get_toplevel(native);
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      "打开", GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "取消",
      GTK_RESPONSE_CANCEL, "打开", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  GtkFileFilter* bitmaps = gtk_file_filter_new();
  gtk_file_filter_set_name(bitmaps, "(*.bmp)");
  gtk_file_filter_add_pattern(bitmaps, "*.bmp");
  gtk_file_filter_add_pattern(bitmaps, "*.BMP");
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), bitmaps);
  GtkFileFilter* all = gtk_file_filter_new();
  gtk_file_filter_set_name(all, "所有文件(*.*)");
  gtk_file_filter_add_pattern(all, "*");
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), all);
  chooser.dialog = dialog;
  chooser.on_chosen = std::move(on_chosen);
  g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), nullptr);
  g_signal_connect(dialog, "destroy", G_CALLBACK(OnDestroyed), nullptr);
  gtk_widget_show(dialog);
  return true;
}

GtkWidget* OpenPictureChooser() { return OpenChooser().dialog; }

}  // namespace qrv
