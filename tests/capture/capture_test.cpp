// The companion's own logic, on real files in a temporary folder: the rectangle a drag spans and
// the window a click takes, the picture's name and that it never overwrites.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "capture/capture_file.h"
#include "capture/capture_region.h"
#include "support/temp_dir.h"

namespace qrv::capture {
namespace {

TEST(CaptureRegionTest, DragsSpanTheirCornersAnyWayClicksAllowASlipAndTakeTheTopmostWindow) {
  const PixelRect screen{0, 0, 1600, 1000};
  // The size is the distance dragged, whichever corner the drag starts from.
  EXPECT_EQ(DraggedRect({100, 100}, {300, 250}, screen), (PixelRect{100, 100, 200, 150}));
  EXPECT_EQ(DraggedRect({300, 250}, {100, 100}, screen), (PixelRect{100, 100, 200, 150}));
  EXPECT_EQ(DraggedRect({300, 100}, {100, 250}, screen), (PixelRect{100, 100, 200, 150}));
  // Past the screen's edge the rectangle stops at the edge; along one line it spans nothing.
  EXPECT_EQ(DraggedRect({1500, 900}, {1700, 1200}, screen), (PixelRect{1500, 900, 100, 100}));
  EXPECT_TRUE(DraggedRect({10, 10}, {400, 10}, screen).empty());

  EXPECT_TRUE(IsClick({50, 50}, {52, 48}));
  EXPECT_FALSE(IsClick({50, 50}, {53, 50}));
  EXPECT_FALSE(IsClick({50, 50}, {50, 47}));

  // Bottom to top: a window half off the screen, and one above it that overlaps it.
  const std::vector<PixelRect> stack{{-100, 200, 500, 300}, {300, 300, 400, 400}};
  EXPECT_EQ(WindowAt(stack, {350, 350}, screen), (PixelRect{300, 300, 400, 400}));
  EXPECT_EQ(WindowAt(stack, {50, 250}, screen), (PixelRect{0, 200, 400, 300}));
  EXPECT_EQ(WindowAt(stack, {399, 499}, screen), (PixelRect{300, 300, 400, 400}));
  EXPECT_EQ(WindowAt(stack, {800, 800}, screen), std::nullopt);
  EXPECT_EQ(WindowAt(stack, {700, 300}, screen), std::nullopt) << "right and bottom edges are outside";
}

GdkPixbuf* Picture(guint8 red) {
  GdkPixbuf* picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3, 2);
  gdk_pixbuf_fill(picture, (static_cast<guint32>(red) << 24) | 0x00804000u);
  return picture;
}

guint8 RedOf(const std::string& png) {
  g_autoptr(GdkPixbuf) read = gdk_pixbuf_new_from_file(png.c_str(), nullptr);
  if (read == nullptr || gdk_pixbuf_get_width(read) != 3 || gdk_pixbuf_get_height(read) != 2) return 0;
  return gdk_pixbuf_get_pixels(read)[0];
}

TEST(CaptureFileTest, APictureIsNamedAfterItsSecondAndNeverOverwritesOne) {
  test::TempDir dir;
  const std::string folder = dir.File("图片/游戏");  // made when missing
  const LocalDateTime time{2026, 1, 5, 8, 4, 9};
  g_autoptr(GdkPixbuf) first = Picture(0x11);
  g_autoptr(GdkPixbuf) second = Picture(0x22);
  g_autoptr(GdkPixbuf) third = Picture(0x33);
  std::string path;
  std::string error;
  ASSERT_TRUE(SavePng(first, folder, time, path, error)) << error;
  EXPECT_EQ(path, folder + "/截图_2026-01-05_08-04-09.png");
  // A file of that second already there is someone's: the next name is taken instead.
  std::ofstream(folder + "/截图_2026-01-05_08-04-09_2.png") << "not ours";
  ASSERT_TRUE(SavePng(second, folder, time, path, error)) << error;
  EXPECT_EQ(path, folder + "/截图_2026-01-05_08-04-09_3.png");
  EXPECT_EQ(RedOf(folder + "/截图_2026-01-05_08-04-09.png"), 0x11);
  EXPECT_EQ(RedOf(folder + "/截图_2026-01-05_08-04-09_3.png"), 0x22);
  std::ifstream kept(folder + "/截图_2026-01-05_08-04-09_2.png");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not ours");

  // A folder that cannot be made is an error for the player, and nothing is written.
  std::ofstream(dir.File("file")) << "x";
  EXPECT_FALSE(SavePng(third, dir.File("file/pictures"), time, path, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace qrv::capture
