#pragma once
// One StatusNotifierItem, the tray icon of KDE Plasma, GNOME's AppIndicator extension and the
// other desktops of today, exported with GIO's D-Bus: the object /StatusNotifierItem with the
// org.kde.StatusNotifierItem interface on a bus name of its own
// ("org.kde.StatusNotifierItem-<pid>-<serial>"), registered with the session's
// org.kde.StatusNotifierWatcher. The item exports no menu (ItemIsMenu false, no Menu object): the
// host's context-menu request is handed on, and the program shows its own skinned menu.
//
// Everything is asynchronous on the thread's main context. Destroying the item drops its name and
// its object, which takes it off every host at once.

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/types.h"

namespace qrv {

class StatusNotifierItem {
 public:
  enum class Request { kActivate, kContextMenu };

  struct Look {
    std::string id;               // the program's stable name ("Id")
    std::string title;            // "Title" and the tooltip's heading
    std::string icon_name;        // "IconName"; empty when the icon theme does not have the program's icon
    GdkPixbuf* pixbuf = nullptr;  // "IconPixmap"; the item keeps a reference
  };

  // Called on the main context: a host asked for activation or the menu at a screen point.
  using RequestHandler = std::function<void(Request request, POINT at)>;
  // Called once when the item cannot be shown after all: the watcher refused it, or the bus name
  // could not be had.
  using FailureHandler = std::function<void()>;

  StatusNotifierItem(GDBusConnection* connection, const Look& look, RequestHandler on_request,
                     FailureHandler on_failure);
  ~StatusNotifierItem();
  StatusNotifierItem(const StatusNotifierItem&) = delete;
  StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

  // Whether the object could be exported (false when another item of the process holds the path).
  bool exported() const { return registration_ != 0; }
  const std::string& bus_name() const { return bus_name_; }

  // Changes the picture (the hosts are told with NewIcon).
  void SetPixbuf(GdkPixbuf* pixbuf);

  // Property values and requests, for the D-Bus callbacks.
  GVariant* Property(const std::string& name) const;
  void OnMethod(const std::string& method, GVariant* parameters);
  void OnNameAcquired();
  void OnNameLost();

  struct Pending;

 private:
  void Emit(const char* signal);
  void Fail();

  GDBusConnection* connection_ = nullptr;
  Look look_;
  RequestHandler on_request_;
  FailureHandler on_failure_;
  std::string bus_name_;
  guint registration_ = 0;
  guint name_owner_ = 0;
  bool failed_ = false;
  // Cancels the registration call still under way when the item goes.
  GCancellable* cancellable_ = nullptr;
};

}  // namespace qrv
