#pragma once
// What happens to a picture once it is taken: it is kept as a PNG in the Pictures folder, put on
// the clipboard, and a desktop notification tells the player where it went. The process then
// stays as long as the clipboard needs it: X11 and Wayland ask the program that copied for the
// data at paste time, so the picture can only be pasted while its program runs. It ends when a
// clipboard manager has taken a copy, when another program takes the clipboard, or after an hour.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <string>

#include "platform/dbus_notifier.h"

namespace qrv::capture {

inline constexpr const char* kNotifierAppName = "玄岚城登陆器";
inline constexpr const char* kSavedSummary = "截图已保存";
inline constexpr const char* kFailedSummary = "截图失败";
inline constexpr guint kClipboardKeepSeconds = 60 * 60;

// "已保存到 /home/…/图片/截图_….png，并已复制到剪贴板，可以直接粘贴。"
std::string SavedBody(const std::string& path);

class CaptureDelivery {
 public:
  CaptureDelivery();
  ~CaptureDelivery();
  CaptureDelivery(const CaptureDelivery&) = delete;
  CaptureDelivery& operator=(const CaptureDelivery&) = delete;

  // A picture read from the screen.
  void DeliverPicture(GdkPixbuf* picture);
  // A picture file the desktop portal made: it is moved into the Pictures folder under our name.
  void DeliverPortalFile(const std::string& uri);
  // Tells the player that no picture came of the capture, and why.
  void ReportFailure(const std::string& why);

  // Ends the main loop once the notification is out and the clipboard no longer needs us.
  void QuitWhenDone();

 private:
  static void GetClipboardData(GtkClipboard* clipboard, GtkSelectionData* data, guint info, gpointer self);
  static void ClearClipboard(GtkClipboard* clipboard, gpointer self);
  static gboolean CheckDone(gpointer self);
  static gboolean StopKeeping(gpointer self);

  void Notify(const char* icon, const char* summary, const std::string& body);
  void HoldClipboard(GdkPixbuf* picture);

  DbusNotifier notifier_;
  GdkPixbuf* clipboard_picture_ = nullptr;  // what the clipboard offers while we hold it
  bool holding_clipboard_ = false;
  guint check_source_ = 0;
  guint keep_source_ = 0;
};

}  // namespace qrv::capture
