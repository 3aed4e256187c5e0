// The chat's text control on the GTK back end under X: emoticons as animated pictures inside the
// text and the text with codes they give back, undo through pictures, the control's own context
// menu in place of the view's, the font chooser, and Ctrl+Enter as a key of the control pressed
// on the real keyboard.

#include "chat/chat_gtk_fixture.h"

namespace qrv::testing {
namespace {

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

  // Every picture file is decoded once: hundreds of the same codes play one decoded animation.
  const int decodes = GtkRichText::AnimationDecodes();
  const int end = input.CharCount();
  input.SetCaret(end);
  for (int i = 0; i < 400; ++i) {
    ASSERT_TRUE(input_.InsertAnimatedPicture(kEmotions + "1.gif"));
    ASSERT_TRUE(input_.InsertAnimatedPicture(kEmotions + "2.gif"));
  }
  EXPECT_LE(GtkRichText::AnimationDecodes(), decodes + 1);  // 2.gif, unless an earlier test had it
  ASSERT_NE(ImageAt(input_, end), nullptr);
  ASSERT_NE(ImageAt(input_, end + 2), nullptr);
  EXPECT_EQ(gtk_image_get_animation(ImageAt(input_, end)), gtk_image_get_animation(ImageAt(input_, end + 2)));
}

TEST_F(ChatGtkTest, TheControlsOwnContextMenuReplacesTheViews) {
  GtkRichText& input = Gtk(input_);
  const std::vector<Item> fresh = {
      {101, "_撤销", false}, {0, "-", true},           {102, "_剪切", false}, {103, "_复制", false},
      {104, "_粘贴", false}, {105, "_清除", false},    {0, "-", true},        {106, "_全选", true},
      {0, "-", true},        {107, "_选择字体", true},
  };
  EXPECT_EQ(Items(input.BuildContextMenu(false)), fresh);

  // A right click in the view shows this menu; after typing and selecting, undo, cut, copy and
  // clear are offered, and paste once the clipboard holds text.
  input_.InsertText("你好");
  input.RunCommand(GtkRichText::kSelectAll);
  EXPECT_EQ(input.Selection(), (std::pair<int, int>{0, 2}));
  input.RunCommand(GtkRichText::kCopy);
  ASSERT_TRUE(Xdotool("mousemove 300 420 click 3"));
  ASSERT_TRUE(WaitFor(
      [&] { return input.context_menu() != nullptr && gtk_widget_get_visible(input.context_menu()); }));
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

}  // namespace
}  // namespace qrv::testing
