#pragma once
// The chat's text controls on the GTK back end under X: a toplevel window holding a history
// (read-only) and an input, both laid out on the screen before a test starts.

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/rich_edit_ex.h"
#include "chat/rich_text_gtk.h"
#include "platform_gtk/gtk_test_support.h"

namespace qrv::testing {

inline const std::string kEmotions = std::string(QRV_PROGRAM_DIR) + "/emotions/";

class ChatGtkTest : public GtkPlatformTest {
 protected:
  void SetUp() override {
    // The file chooser keeps its settings: in memory here, never in the user's own.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    GtkPlatformTest::SetUp();
    if (HasFatalFailure()) return;
    parent_ = std::make_unique<TestWindow>(Toplevel(100, 100, 700, 500));
    parent_->set_fill(0x0E1B30);
    ShowAndWait(*parent_);
    history_.Create(parent_->hwnd(), RECT{10, 10, 610, 210}, 1012);
    input_.Create(parent_->hwnd(), RECT{10, 250, 610, 450}, 1013);
    history_.surface().SetReadOnly(true);
    input_.SetOnCtrlEnter([this] { ++ctrl_enters_; });
    // Input reaches a view only once it has its place on the screen.
    ASSERT_TRUE(WaitFor([&] { return Allocated(history_) && Allocated(input_); }));
  }
  void TearDown() override {
    if (history_.GetHWND() != nullptr) DestroyWindow(history_.GetHWND());
    if (input_.GetHWND() != nullptr) DestroyWindow(input_.GetHWND());
    parent_.reset();
    GtkPlatformTest::TearDown();
  }

  GtkRichText& Gtk(CRichEditCtrlEx& edit) { return dynamic_cast<GtkRichText&>(edit.surface()); }
  bool Allocated(CRichEditCtrlEx& edit) {
    GtkAllocation allocation;
    gtk_widget_get_allocation(GTK_WIDGET(Gtk(edit).view()), &allocation);
    return allocation.width == 600 && allocation.height == 200;
  }

  // The image shown for the picture at character `offset`, or null.
  GtkImage* ImageAt(CRichEditCtrlEx& edit, int offset) {
    GtkTextIter iter;
    gtk_text_buffer_get_iter_at_offset(Gtk(edit).buffer(), &iter, offset);
    GtkTextChildAnchor* anchor = gtk_text_iter_get_child_anchor(&iter);
    if (anchor == nullptr) return nullptr;
    GList* widgets = gtk_text_child_anchor_get_widgets(anchor);
    GtkImage* image = widgets != nullptr && GTK_IS_IMAGE(widgets->data) ? GTK_IMAGE(widgets->data) : nullptr;
    g_list_free(widgets);
    return image;
  }

  struct Item {
    int command;  // 0 for a separator
    std::string label;
    bool enabled;
    friend bool operator==(const Item&, const Item&) = default;
  };
  static std::vector<Item> Items(GtkWidget* menu) {
    std::vector<Item> items;
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
    for (GList* l = children; l != nullptr; l = l->next) {
      auto* widget = GTK_WIDGET(l->data);
      if (GTK_IS_SEPARATOR_MENU_ITEM(widget)) {
        items.push_back(Item{0, "-", true});
        continue;
      }
      items.push_back(Item{GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "qrv-command")),
                           gtk_menu_item_get_label(GTK_MENU_ITEM(widget)),
                           gtk_widget_get_sensitive(widget) != FALSE});
    }
    g_list_free(children);
    return items;
  }

  std::unique_ptr<TestWindow> parent_;
  CRichEditCtrlEx history_;
  CRichEditCtrlEx input_;
  int ctrl_enters_ = 0;
};

}  // namespace qrv::testing
