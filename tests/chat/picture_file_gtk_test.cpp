// The picture button's file chooser on GTK under X and the PNG it saves.

#include <fstream>

#include "chat/chat_gtk_fixture.h"
#include "chat/picture_file.h"
#include "support/temp_dir.h"

namespace qrv::testing {
namespace {

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
  for (GSList* l = list; l != nullptr; l = l->next)
    filters.emplace_back(gtk_file_filter_get_name(GTK_FILE_FILTER(l->data)));
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

  const std::string png = program_dir + "image/I07abc100.png";
  ASSERT_TRUE(SavePictureAsPng(chosen, png));
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
  EXPECT_FALSE(SavePictureAsPng(dir.File("notes.bmp"), png));
  EXPECT_NE(gdk_pixbuf_get_file_info(png.c_str(), nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace qrv::testing
