#include "capture/capture_delivery.h"

#include <gio/gio.h>

#include "capture/capture_file.h"

namespace qrv::capture {
namespace {

// How often the process looks whether it may end (the notification's answer has come).
constexpr guint kDoneCheckMs = 100;

// Moves the portal's PNG into place, so the player finds one picture where ours are, not two.
bool MovePng(GFile* source, const std::string& folder, const LocalDateTime& time, std::string& path,
             std::string& error) {
  const auto move = [source](const std::string& candidate, std::string& why) {
    g_autoptr(GFile) target = g_file_new_for_path(candidate.c_str());
    g_autoptr(GError) move_error = nullptr;
    if (g_file_move(source, target, G_FILE_COPY_NONE, nullptr, nullptr, nullptr, &move_error))
      return Placing::kDone;
    if (g_error_matches(move_error, G_IO_ERROR, G_IO_ERROR_EXISTS)) return Placing::kNameTaken;
    why = move_error->message;
    return Placing::kFailed;
  };
  return PlaceUnderNewName(folder, time, move, path, error);
}

}  // namespace

std::string SavedBody(const std::string& path) {
  return "已保存到 " + path + "，并已复制到剪贴板，可以直接粘贴。";
}

CaptureDelivery::CaptureDelivery() = default;

CaptureDelivery::~CaptureDelivery() {
  if (check_source_ != 0) g_source_remove(check_source_);
  if (keep_source_ != 0) g_source_remove(keep_source_);
  if (holding_clipboard_) gtk_clipboard_clear(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  if (clipboard_picture_ != nullptr) g_object_unref(clipboard_picture_);
}

void CaptureDelivery::Notify(const char* icon, const char* summary, const std::string& body) {
  DesktopNotification notification;
  notification.app_name = kNotifierAppName;
  notification.icon = icon;
  notification.summary = summary;
  notification.body = body;
  notifier_.Notify(notification);
}

void CaptureDelivery::ReportFailure(const std::string& why) { Notify("dialog-error", kFailedSummary, why); }

void CaptureDelivery::DeliverPicture(GdkPixbuf* picture) {
  const std::string folder = PicturesFolder();
  std::string path;
  std::string error;
  if (!SavePng(picture, folder, WallClock::Get().Now(), path, error)) {
    ReportFailure("无法保存到 " + folder + "：" + error);
    return;
  }
  HoldClipboard(picture);
  Notify("camera-photo", kSavedSummary, SavedBody(path));
}

void CaptureDelivery::DeliverPortalFile(const std::string& uri) {
  g_autoptr(GFile) source = g_file_new_for_uri(uri.c_str());
  g_autofree gchar* source_path = g_file_get_path(source);
  g_autoptr(GError) load_error = nullptr;
  g_autoptr(GdkPixbuf) picture =
      source_path != nullptr ? gdk_pixbuf_new_from_file(source_path, &load_error) : nullptr;
  if (picture == nullptr) {
    ReportFailure(std::string("无法读取桌面给出的截图 ") + uri +
                  (load_error != nullptr ? std::string("：") + load_error->message : std::string()));
    return;
  }
  const std::string folder = PicturesFolder();
  const LocalDateTime now = WallClock::Get().Now();
  std::string path;
  std::string error;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(source_path, nullptr, nullptr);
  g_autofree gchar* format_name = format != nullptr ? gdk_pixbuf_format_get_name(format) : nullptr;
  const bool png = format_name != nullptr && g_strcmp0(format_name, "png") == 0;
  // A file that cannot be moved (a read-only place) or is no PNG is written anew from its pixels.
  if (!(png && MovePng(source, folder, now, path, error)) && !SavePng(picture, folder, now, path, error)) {
    ReportFailure("无法保存到 " + folder + "：" + error);
    return;
  }
  HoldClipboard(picture);
  Notify("camera-photo", kSavedSummary, SavedBody(path));
}

void CaptureDelivery::HoldClipboard(GdkPixbuf* picture) {
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  g_autoptr(GtkTargetList) list = gtk_target_list_new(nullptr, 0);
  gtk_target_list_add_image_targets(list, 0, TRUE);
  int count = 0;
  GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
  if (clipboard_picture_ != nullptr) g_object_unref(clipboard_picture_);
  clipboard_picture_ = GDK_PIXBUF(g_object_ref(picture));
  holding_clipboard_ = gtk_clipboard_set_with_data(clipboard, targets, static_cast<guint>(count),
                                                   GetClipboardData, ClearClipboard, this) != FALSE;
  gtk_target_table_free(targets, count);
  if (!holding_clipboard_) return;
  // A clipboard manager keeps a copy for after we have gone: PNG alone, the one format every
  // program reads, rather than every format the picture could be turned into.
  GtkTargetEntry png{const_cast<gchar*>("image/png"), 0, 0};
  gtk_clipboard_set_can_store(clipboard, &png, 1);
  if (gdk_display_supports_clipboard_persistence(gdk_display_get_default())) {
    gtk_clipboard_store(clipboard);
    holding_clipboard_ = false;
  }
}

void CaptureDelivery::GetClipboardData(GtkClipboard*, GtkSelectionData* data, guint, gpointer self) {
  gtk_selection_data_set_pixbuf(data, static_cast<CaptureDelivery*>(self)->clipboard_picture_);
}

void CaptureDelivery::ClearClipboard(GtkClipboard*, gpointer self) {
  // Another program took the clipboard: nobody can paste our picture any more.
  static_cast<CaptureDelivery*>(self)->holding_clipboard_ = false;
}

void CaptureDelivery::QuitWhenDone() {
  if (check_source_ == 0) check_source_ = g_timeout_add(kDoneCheckMs, CheckDone, this);
  if (keep_source_ == 0) keep_source_ = g_timeout_add_seconds(kClipboardKeepSeconds, StopKeeping, this);
}

gboolean CaptureDelivery::CheckDone(gpointer data) {
  auto* self = static_cast<CaptureDelivery*>(data);
  if (self->holding_clipboard_ || !self->notifier_.Idle()) return G_SOURCE_CONTINUE;
  gtk_main_quit();
  self->check_source_ = 0;
  return G_SOURCE_REMOVE;
}

gboolean CaptureDelivery::StopKeeping(gpointer data) {
  auto* self = static_cast<CaptureDelivery*>(data);
  self->keep_source_ = 0;
  self->holding_clipboard_ = false;
  return G_SOURCE_REMOVE;
}

}  // namespace qrv::capture
