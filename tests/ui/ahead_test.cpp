// What the first window shows when it opens, prepared ahead on threads of their own: its pictures
// decoded, its texts laid out in a font map the UI thread takes. These tests also run under
// ThreadSanitizer (scripts/tsan.sh).

#include <gtest/gtest.h>

#include <thread>

#include "ui/render/text_layout.h"
#include "ui/render/texts_ahead.h"
#include "ui/resources/image_cache.h"
#include "ui/resources/pictures_ahead.h"
#include "ui_test_support.h"

namespace qrv::testing {
namespace {

class AheadTest : public UiTest {
 protected:
  TempDir dir_;
};

TEST_F(AheadTest, PicturesAWindowShowsAtOpenAreDecodedAheadFromItsArchive) {
  // The resting pictures of what shows when the window opens, once each.
  EXPECT_EQ(ui::PicturesShownAtOpen(R"(<Window><VerticalLayout bkimage="bg.png">
      <Button normalimage="file='btn.png' source='0,0,10,10'" hotimage="hot.png"/>
      <Control bkimage="bg.png"/><Control bkimage="hidden.png" visible="false"/>
      <HorizontalLayout visible="false"><Control bkimage="inside_hidden.png"/></HorizontalLayout>
      <TabLayout selectedid="1"><Control bkimage="page0.png"/><Control foreimage="page1.png"/></TabLayout>
    </VerticalLayout></Window>)"),
            (std::vector<std::string>{"bg.png", "btn.png", "page1.png"}));
  EXPECT_TRUE(ui::PicturesShownAtOpen("<Window><Control").empty());

  const std::string path = dir_.File("box.bk");
  WriteZip(path, {{"win.xml", R"(<Window><Control bkimage="a.png"/><Control bkimage="b.png"/></Window>)"},
                  {"a.png", SolidPng(3, 2, 0xff112233u)},
                  {"b.png", "not a picture"}});
  ui::PicturesAhead::Start(path, "win.xml");
  ASSERT_TRUE(CPaintManagerUI::SetResourceZip(path, false));
  cairo_surface_t* ahead = ui::PicturesAhead::Take("a.png");
  ASSERT_NE(ahead, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(ahead), 3);
  cairo_surface_destroy(ahead);
  EXPECT_EQ(ui::PicturesAhead::Take("a.png"), nullptr) << "taken once";
  EXPECT_EQ(ui::PicturesAhead::Take("b.png"), nullptr) << "not decodable";
  EXPECT_EQ(ui::ImageCache::Get("b.png"), nullptr);

  // Decoded ahead from one archive, of no use once the program reads another.
  ui::PicturesAhead::Start(path, "win.xml");
  const std::string other = dir_.File("other.bk");
  WriteZip(other, {{"a.png", SolidPng(5, 5, 0xff445566u)}});
  ASSERT_TRUE(CPaintManagerUI::SetResourceZip(other, false));
  cairo_surface_t* picture = ui::ImageCache::Get("a.png");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(picture), 5);
}

TEST_F(AheadTest, TextsAWindowShowsAtOpenAreLaidOutAheadInAFontMapTheUiThreadTakesOnce) {
  // Plain texts shown at open, each with its own font, its element's default font or none.
  const ui::TextsAtOpen shown = ui::TextsShownAtOpen(R"(<Window>
      <Font name="Serif" size="14" bold="true"/><Font id="4" size="20" default="true"/><Font size="9"/>
      <Default name="Button" value="font=&quot;4&quot; textcolor=&quot;#FF000000&quot;"/>
      <VerticalLayout><Label text="标题" font="0"/><Button text="登录"/><Option text="记住" font="5"/>
        <Label text="hidden" visible="false"/><Label text="&lt;b&gt;markup&lt;/b&gt;" showhtml="true"/>
        <TabLayout selectedid="1"><Label text="page0"/><Label text="page1"/></TabLayout><Edit/>
      </VerticalLayout></Window>)");
  EXPECT_EQ(shown.texts,
            (std::vector<ui::TextShownAtOpen>{{0, "标题"}, {4, "登录"}, {5, "记住"}, {-1, "page1"}}));
  EXPECT_EQ(shown.fonts.Get(0), (ui::FontInfo{"Serif", 14, true}));
  EXPECT_EQ(shown.fonts.Get(5).size, 9) << "the id after the previous font's";
  EXPECT_EQ(shown.fonts.Default().size, 20);
  EXPECT_TRUE(ui::TextsShownAtOpen("<Window><Label text").texts.empty());

  const std::string path = dir_.File("box.bk");
  WriteZip(path,
           {{"win.xml", R"(<Window><Font size="16" default="true"/><Label text="通行证登录"/></Window>)"}});
  ui::FontSet fonts;
  fonts.SetDefault(ui::FontInfo{ui::kDefaultFontFamily, 16});
  const auto measure = [&fonts] {
    return ui::TextLayout(nullptr, fonts, "通行证登录", ui::TextOptions{}, RECT{0, 0, 400, 40}).Size();
  };
  PangoFontMap* own = pango_cairo_font_map_get_default();
  const CDuiSize own_size = measure();
  for (const std::string& archive : {path, dir_.File("missing.bk")}) {
    ui::TextsAhead::Start(archive, "win.xml");
    // Another thread's layouts neither wait for the map nor take it.
    std::thread([] { ui::TextsAhead::TakeFontMap(); }).join();
    EXPECT_EQ(pango_cairo_font_map_get_default(), own);
    const CDuiSize ahead_size = measure();
    PangoFontMap* taken = pango_cairo_font_map_get_default();
    EXPECT_NE(taken, own) << archive;
    EXPECT_EQ(ahead_size, own_size) << "the same text measures the same in the map laid out ahead";
    ui::TextsAhead::TakeFontMap();
    EXPECT_EQ(pango_cairo_font_map_get_default(), taken) << "taken once";
    own = taken;
  }
}

}  // namespace
}  // namespace qrv::testing
