// The chat's text control on the GTK back end under X: emoticons as animated pictures inside the
// text and the text with codes they give back, undo through pictures, the control's own context
// menu in place of the view's, the font chooser, Ctrl+Enter as a key of the control pressed on the
// real keyboard, and the picture button's file chooser with the PNG it saves.

#include <gtk/gtk.h>

#include <fstream>
#include <string>
#include <vector>

#include "chat/picture_file.h"
#include "chat/rich_edit_ex.h"
#include "chat/rich_text_gtk.h"
#include "platform_gtk/gtk_test_support.h"
#include "support/temp_dir.h"

namespace qrv::testing {
namespace {

const std::string kEmotions = std::string(QRV_PROGRAM_DIR) + "/emotions/";

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
                           gtk_menu_item_get_label(GTK_MENU_ITEM(widget)), gtk_widget_get_sensitive(widget) != FALSE});
    }
    g_list_free(children);
    return items;
  }

  std::unique_ptr<TestWindow> parent_;
  CRichEditCtrlEx history_;
  CRichEditCtrlEx input_;
  int ctrl_enters_ = 0;
};

TEST_F(ChatGtkTest, EmoticonsAreAnimatedPicturesInsideTheTextAndComeBackAsCodes) {
  GtkRichText& input = Gtk(input_);
  input_.InsertText("a");
  ASSERT_TRUE(input_.InsertAnimatedPicture(kEmotions + "1.gif"));
  input_.InsertText("b");
  EXPECT_EQ(input_.TextWithCodes(), "a\\:F01b");
  EXPECT_EQ(input_.picture_records(), (std::vector<PictureRecord>{{2, "\\:F01"}}));
  // The picture plays its animation inside the view.
  GtkImage* image = ImageAt(input_, 1);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(gtk_image_get_storage_type(image), GTK_IMAGE_ANIMATION);
  EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(gtk_image_get_animation(image)));
  EXPECT_TRUE(WaitFor([&] { return gtk_widget_get_mapped(GTK_WIDGET(image)); }));

  // A file's number makes its code; a file that cannot be loaded inserts nothing.
  ASSERT_TRUE(input_.InsertAnimatedPicture(kEmotions + "130.gif"));
  ASSERT_TRUE(input_.InsertAnimatedPicture(kEmotions + "10.gif"));
  EXPECT_FALSE(input_.InsertAnimatedPicture(kEmotions + "no-such.gif"));
  EXPECT_EQ(input_.TextWithCodes(), "a\\:F01b\\:F13\\:F10");
  EXPECT_EQ(input_.CodeLookup("\\:F13"), "130.gif");
  EXPECT_EQ(input_.CodeLookup("\\:F28"), "");

  // A picture that leaves the text leaves its record too; undo brings both back.
  input.Select(1, 2);
  input.DeleteSelection();
  EXPECT_EQ(input_.TextWithCodes(), "ab\\:F13\\:F10");
  EXPECT_EQ(input_.picture_records(), (std::vector<PictureRecord>{{3, "\\:F13"}, {4, "\\:F10"}}));
  ASSERT_TRUE(input.CanUndo());
  input.RunCommand(GtkRichText::kUndo);
  EXPECT_EQ(input_.TextWithCodes(), "a\\:F01b\\:F13\\:F10");
  EXPECT_NE(ImageAt(input_, 1), nullptr);

  // The window answers WM_GETTEXT with the same text (the automation interface reads it so).
  std::string text;
  EXPECT_EQ(SendMessage(input_.GetHWND(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&text)), 1);
  EXPECT_EQ(text, "a\\:F01b\\:F13\\:F10");
}

TEST_F(ChatGtkTest, TheControlsOwnContextMenuReplacesTheViews) {
  GtkRichText& input = Gtk(input_);
  const std::vector<Item> fresh = {
      {101, "_撤销", false}, {0, "-", true},      {102, "_剪切", false}, {103, "_复制", false},
      {104, "_粘贴", false}, {105, "_清除", false}, {0, "-", true},      {106, "_全选", true},
      {0, "-", true},       {107, "_选择字体", true},
  };
  EXPECT_EQ(Items(input.BuildContextMenu(false)), fresh);

  // A right click in the view shows this menu; after typing and selecting, undo, cut, copy and
  // clear are offered, and paste once the clipboard holds text.
  input_.InsertText("你好");
  input.RunCommand(GtkRichText::kSelectAll);
  EXPECT_EQ(input.Selection(), (std::pair<int, int>{0, 2}));
  input.RunCommand(GtkRichText::kCopy);
  ASSERT_TRUE(Xdotool("mousemove 300 420 click 3"));
  ASSERT_TRUE(WaitFor([&] { return input.context_menu() != nullptr && gtk_widget_get_visible(input.context_menu()); }));
  std::vector<Item> shown = Items(input.context_menu());
  ASSERT_EQ(shown.size(), fresh.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].command, fresh[i].command);
    EXPECT_EQ(shown[i].label, fresh[i].label);
  }
  EXPECT_TRUE(shown[0].enabled);  // undo
  EXPECT_TRUE(shown[4].enabled);  // paste
  gtk_menu_popdown(GTK_MENU(input.context_menu()));

  // Clear takes the selection away; undo puts it back; cut in the read-only history copies only.
  input.Select(0, 1);
  input.RunCommand(GtkRichText::kClear);
  EXPECT_EQ(input_.TextWithCodes(), "好");
  input.RunCommand(GtkRichText::kUndo);
  EXPECT_EQ(input_.TextWithCodes(), "你好");
  history_.InsertText("记录");
  GtkRichText& history = Gtk(history_);
  history.Select(0, -1);
  EXPECT_TRUE(history.CommandEnabled(GtkRichText::kCut, false));
  EXPECT_FALSE(history.CanUndo());  // what the window writes there is not the player's edit
  history.RunCommand(GtkRichText::kCut);
  EXPECT_EQ(history_.TextWithCodes(), "记录");
}

TEST_F(ChatGtkTest, TheFontChooserSetsTheSelectionsFontOrTheDefault) {
  GtkRichText& input = Gtk(input_);
  input_.InsertText("ab");
  input.Select(1, 2);
  input.RunCommand(GtkRichText::kChooseFont);
  GtkWidget* chooser = input.font_chooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(chooser)));
  gtk_font_chooser_set_font(GTK_FONT_CHOOSER(chooser), "Noto Sans CJK SC Bold 20");
  gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_OK);
  EXPECT_EQ(input.font_chooser(), nullptr);
  GtkTextIter at;
  gtk_text_buffer_get_iter_at_offset(input.buffer(), &at, 1);
  GtkTextAttributes* attributes = gtk_text_view_get_default_attributes(input.view());
  gtk_text_iter_get_attributes(&at, attributes);
  EXPECT_EQ(pango_font_description_get_size(attributes->font), 20 * PANGO_SCALE);
  EXPECT_EQ(pango_font_description_get_weight(attributes->font), PANGO_WEIGHT_BOLD);
  gtk_text_attributes_unref(attributes);

  // Nothing selected: the choice becomes the control's default; cancelling changes nothing.
  input.SetCaret(0);
  input.ChooseFont();
  ASSERT_NE(input.font_chooser(), nullptr);
  gtk_font_chooser_set_font(GTK_FONT_CHOOSER(input.font_chooser()), "DejaVu Serif Italic 18");
  gtk_dialog_response(GTK_DIALOG(input.font_chooser()), GTK_RESPONSE_OK);
  EXPECT_EQ(input.default_format().size_pt, 18);
  EXPECT_EQ(input.default_format().face, "DejaVu Serif");
  EXPECT_TRUE(input.default_format().italic);
  input.ChooseFont();
  gtk_dialog_response(GTK_DIALOG(input.font_chooser()), GTK_RESPONSE_CANCEL);
  EXPECT_EQ(input.default_format().size_pt, 18);
}

TEST_F(ChatGtkTest, CtrlEnterIsAKeyOfTheInputOnTheRealKeyboard) {
  GtkRichText& input = Gtk(input_);
  // The player clicks into the input, types, and presses Ctrl+Enter.
  ASSERT_TRUE(Xdotool("mousemove 300 420 click 1"));
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_has_focus(GTK_WIDGET(input.view())); }));
  EXPECT_EQ(WindowSystem::Get().Focus(), input_.GetHWND());
  ASSERT_TRUE(Xdotool("type hi"));
  ASSERT_TRUE(Xdotool("key ctrl+Return"));
  ASSERT_TRUE(WaitFor([&] { return ctrl_enters_ == 1; }));
  EXPECT_EQ(input_.TextWithCodes(), "hi");  // the key inserted no line
  ASSERT_TRUE(Xdotool("key Return"));
  ASSERT_TRUE(WaitFor([&] { return input_.TextWithCodes() == "hi\n"; }));

  // Focus given by the window system reaches the view; in the history the key does nothing.
  WindowSystem::Get().SetFocus(history_.GetHWND());
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_has_focus(GTK_WIDGET(Gtk(history_).view())); }));
  ASSERT_TRUE(Xdotool("key ctrl+Return"));
  Settle(300);
  EXPECT_EQ(ctrl_enters_, 1);
  WindowSystem::Get().SetFocus(input_.GetHWND());
  ASSERT_TRUE(WaitFor([&] { return gtk_widget_has_focus(GTK_WIDGET(input.view())); }));
  ASSERT_TRUE(Xdotool("key ctrl+KP_Enter"));
  EXPECT_TRUE(WaitFor([&] { return ctrl_enters_ == 2; }));
}

TEST_F(ChatGtkTest, ThePictureButtonsChooserSavesThePictureAsPng) {
  test::TempDir dir;
  const std::string program_dir = dir.path() + "/";
  GdkPixbuf* picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 40, 30);
  gdk_pixbuf_fill(picture, 0x3FBFA0FF);
  const std::string bitmap = dir.File("shot.bmp");
  ASSERT_TRUE(gdk_pixbuf_save(picture, bitmap.c_str(), "bmp", nullptr, nullptr));
  g_object_unref(picture);

  std::string chosen;
  ASSERT_TRUE(ChoosePictureFile(input_.GetHWND(), [&](const std::string& file) { chosen = file; }));
  GtkWidget* chooser = OpenPictureChooser();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(chooser)));
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(chooser)),
            GTK_WINDOW(GtkWindows::Current()->ToplevelWidget(parent_->hwnd())));
  std::vector<std::string> filters;
  GSList* list = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(chooser));
  for (GSList* l = list; l != nullptr; l = l->next) filters.emplace_back(gtk_file_filter_get_name(GTK_FILE_FILTER(l->data)));
  g_slist_free(list);
  EXPECT_EQ(filters, (std::vector<std::string>{"(*.bmp)", "所有文件(*.*)"}));
  // One chooser at a time; the windows keep running while it is open.
  EXPECT_FALSE(ChoosePictureFile(input_.GetHWND(), [](const std::string&) {}));
  gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), bitmap.c_str());
  ASSERT_TRUE(WaitFor([&] {
    g_autofree gchar* file = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    return file != nullptr && bitmap == file;
  }));
  gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
  EXPECT_EQ(OpenPictureChooser(), nullptr);
  ASSERT_EQ(chosen, bitmap);

  ASSERT_TRUE(SavePictureAsPng(chosen, program_dir));
  const std::string png = program_dir + kSavedPicturePath;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(png.c_str(), nullptr, nullptr);
  ASSERT_NE(format, nullptr);
  g_autofree gchar* format_name = gdk_pixbuf_format_get_name(format);
  EXPECT_STREQ(format_name, "png");
  GdkPixbuf* saved = gdk_pixbuf_new_from_file(png.c_str(), nullptr);
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(saved), 40);
  EXPECT_EQ(gdk_pixbuf_get_height(saved), 30);
  g_object_unref(saved);
  // What is not a picture is not saved, and the last picture stays whole.
  std::ofstream(dir.File("notes.bmp")) << "not a picture";
  EXPECT_FALSE(SavePictureAsPng(dir.File("notes.bmp"), program_dir));
  EXPECT_NE(gdk_pixbuf_get_file_info(png.c_str(), nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace qrv::testing
