// Font files mapped once for FreeType and HarfBuzz, their pages dropped when the loop is idle.

#include "platform/gtk/font_file_maps.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace qrv {
namespace {

// The skin's font, which the test command installs.
constexpr char kFontPath[] = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
constexpr FT_Long kSimplifiedChinese = 2;

// Resident KiB of the mapping that holds `address`, from /proc/self/smaps; -1 when none holds it.
long ResidentKib(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(smaps, line);) {
    unsigned long start = 0;
    unsigned long end = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2 && line.find(':') > line.find(' ')) {
      inside = start <= at && at < end;
    } else if (inside && line.rfind("Rss:", 0) == 0) {
      return std::stol(line.substr(4));
    }
  }
  return -1;
}

// The rendered bitmaps of `text`'s characters at 16 pixels.
std::vector<std::vector<unsigned char>> Render(FT_Face face, const std::u32string& text) {
  std::vector<std::vector<unsigned char>> glyphs;
  FT_Set_Pixel_Sizes(face, 0, 16);
  for (const char32_t c : text) {
    EXPECT_EQ(FT_Load_Char(face, c, FT_LOAD_RENDER), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyphs.emplace_back(bitmap.buffer, bitmap.buffer + static_cast<std::size_t>(bitmap.pitch) * bitmap.rows);
  }
  return glyphs;
}

// Runs the default context until nothing is ready, as the loop does before it sleeps.
void RunUntilIdle() {
  for (int i = 0; i < 1000 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

TEST(FontFileMapsTest, FaceAndBlobShareOneMappingWhosePagesTheIdleLoopDropsWithoutChangingAGlyph) {
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face own = nullptr;
  FT_Face mapped = nullptr;
  ASSERT_EQ(FT_New_Face(library, kFontPath, kSimplifiedChinese, &own), 0);
  ASSERT_EQ(OpenMappedFontFace(library, kFontPath, kSimplifiedChinese, &mapped), 0);
  hb_blob_t* blob = MappedFontBlob(kFontPath);
  EXPECT_EQ(MappedFontFileCount(), 1u);
  ASSERT_EQ(hb_blob_get_data(blob, nullptr), reinterpret_cast<const char*>(mapped->stream->base));
  EXPECT_EQ(hb_blob_get_length(blob), mapped->stream->size);

  const std::u32string login = U"玄岚城登录器游戏新闻通行证";
  EXPECT_EQ(Render(mapped, login), Render(own, login));
  EXPECT_GT(ResidentKib(mapped->stream->base), 0);

  RunUntilIdle();
  EXPECT_EQ(ResidentKib(mapped->stream->base), 0);

  // Read again after the drop: the same glyphs, and HarfBuzz finds the same face in the blob.
  const std::u32string news = U"适度游戏益脑沉迷伤身推荐服务器";
  EXPECT_EQ(Render(mapped, news), Render(own, news));
  hb_face_t* shaper_face = hb_face_create(blob, kSimplifiedChinese);
  EXPECT_EQ(hb_face_get_glyph_count(shaper_face), static_cast<unsigned>(own->num_glyphs));
  hb_face_destroy(shaper_face);

  // The mapping lasts while any face or blob reads it.
  const void* base = mapped->stream->base;
  FT_Done_Face(mapped);
  EXPECT_EQ(MappedFontFileCount(), 1u);
  hb_blob_destroy(blob);
  EXPECT_EQ(MappedFontFileCount(), 0u);
  EXPECT_EQ(ResidentKib(base), -1);
  FT_Done_Face(own);
  FT_Done_FreeType(library);
}

TEST(FontFileMapsTest, MissingEmptyAndReplacedFilesAreNeverServedFromAnotherFile) {
  test::TempDir dir;
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir.File(name), std::ios::binary) << bytes;
    return dir.File(name);
  };
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face face = nullptr;
  EXPECT_EQ(OpenMappedFontFace(library, dir.File("none.ttf").c_str(), 0, &face), FT_Err_Cannot_Open_Resource);
  EXPECT_EQ(OpenMappedFontFace(library, write("empty.ttf", "").c_str(), 0, &face),
            FT_Err_Cannot_Open_Resource);
  EXPECT_EQ(MappedFontBlob(dir.File("empty.ttf").c_str()), hb_blob_get_empty());
  // Not a font: FreeType refuses it, and the mapping goes with the refused face.
  EXPECT_NE(OpenMappedFontFace(library, write("text.ttf", "not a font").c_str(), 0, &face), 0);
  EXPECT_EQ(MappedFontFileCount(), 0u);

  // A package update puts a new file under the old name: it is mapped anew.
  hb_blob_t* before = MappedFontBlob(write("font.ttf", "old").c_str());
  const std::string updated = write("font.ttf.new", "new!");
  ASSERT_EQ(rename(updated.c_str(), dir.File("font.ttf").c_str()), 0);
  hb_blob_t* after = MappedFontBlob(dir.File("font.ttf").c_str());
  EXPECT_EQ(std::string(hb_blob_get_data(before, nullptr), hb_blob_get_length(before)), "old");
  EXPECT_EQ(std::string(hb_blob_get_data(after, nullptr), hb_blob_get_length(after)), "new!");
  EXPECT_EQ(MappedFontFileCount(), 2u);
  hb_blob_destroy(before);
  hb_blob_destroy(after);
  EXPECT_EQ(MappedFontFileCount(), 0u);
  FT_Done_FreeType(library);
}

}  // namespace
}  // namespace qrv
