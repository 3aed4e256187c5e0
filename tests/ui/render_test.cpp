// Painting: a window whose pictures come from a zip made here, rendered without a display and
// checked pixel by pixel, so that a blank, shifted or broken paint fails.

#include <gtest/gtest.h>

#include <set>

#include "ui_test_support.h"

namespace qrv::testing {
namespace {

constexpr std::uint32_t kRed = 0xffff0000u;
constexpr std::uint32_t kGreen = 0xff00ff00u;
constexpr std::uint32_t kBlue = 0xff0000ffu;
constexpr std::uint32_t kWhite = 0xffffffffu;
constexpr std::uint32_t kBlack = 0xff000000u;
constexpr std::uint32_t kKey = 0xff0a0a0au;
constexpr std::uint32_t kBackground = 0xff203040u;

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 6) {
  for (int shift = 0; shift <= 24; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xff);
    const int y = static_cast<int>((b >> shift) & 0xff);
    if (std::abs(x - y) > tolerance) return false;
  }
  return true;
}

// Pixels of `surface` inside `rc` for which `match` holds.
int CountPixels(cairo_surface_t* surface, const RECT& rc, const std::function<bool(std::uint32_t)>& match) {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += match(PixelAt(surface, x, y)) ? 1 : 0;
  }
  return count;
}

class RenderTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    std::map<std::string, std::string> files;
    // Four 20x20 quadrants: red, green / blue, white.
    files["quad.png"] = MakePng(40, 40, [](int x, int y) {
      if (y < 20) return x < 20 ? kRed : kGreen;
      return x < 20 ? kBlue : kWhite;
    });
    // A 9x9 frame: 3-pixel black border around white.
    files["frame.png"] =
        MakePng(9, 9, [](int x, int y) { return (x < 3 || y < 3 || x >= 6 || y >= 6) ? kBlack : kWhite; });
    // Left half the key colour (to be masked out), right half red.
    files["keyed.png"] = MakePng(10, 10, [](int x, int) { return x < 5 ? kKey : kRed; });
    files["white.png"] = SolidPng(4, 4, kWhite);
    // Three 12x12 pictures across: red, green, blue.
    files["strip.png"] =
        MakePng(36, 12, [](int x, int) { return x < 12 ? kRed : (x < 24 ? kGreen : kBlue); });
    WriteZip(dir_.File("box.bk"), files);
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(dir_.File("box.bk")));
  }
  TempDir dir_;
};

constexpr char kShowcase[] = R"(<Window size="400,300">
  <Font id="1" name="Noto Sans CJK SC" size="20" bold="true"/>
  <VerticalLayout bkcolor="#FF203040">
    <HorizontalLayout height="100">
      <Control name="quad" width="80" bkimage="file='quad.png' source='20,0,40,20'"/>
      <Control name="nine" width="90" bkimage="file='frame.png' corner='3,3,3,3'"/>
      <Control name="masked" width="40" bkcolor="#FF0000FF" bkimage="file='keyed.png' mask='#FF0A0A0A'"/>
      <Control name="faded" width="40" bkcolor="#FF000000" bkimage="file='white.png' fade='128'"/>
      <Control name="dested" width="60" bkimage="file='white.png' dest='10,10,20,20'"/>
    </HorizontalLayout>
    <Label name="html" height="40" showhtml="true" text="{i strip.png 3 1}<c #ff0000>红色文字</c>"/>
    <Button name="btn" height="40" normalimage="file='quad.png' source='0,0,20,20'" hotimage="file='quad.png' source='0,20,20,40'" text="按钮" textcolor="#00FFFFFF"/>
    <Label name="text" height="40" text="中文 Text" textcolor="#FFFFFF00" font="1" bordersize="2" bordercolor="#FF00FF00"/>
    <Control/>
  </VerticalLayout></Window>)";

TEST_F(RenderTest, WindowWithPicturesTextAndStatesRendersToPng) {
  LayoutWindow window(kShowcase);
  const HWND hwnd = window.Open(400, 300);
  ASSERT_NE(hwnd, nullptr);
  const std::string path = (OutputDir() / "render_showcase.png").string();
  ASSERT_TRUE(window.pm.RenderToPng(path));
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), 400);
  EXPECT_EQ(cairo_image_surface_get_height(png), 300);

  // The source cut shows only the green quadrant, stretched over the control.
  EXPECT_EQ(PixelAt(png, 40, 50), kGreen);
  EXPECT_EQ(PixelAt(png, 2, 2), kGreen);
  EXPECT_EQ(PixelAt(png, 78, 98), kGreen);
  // Nine-slice: the border stays 3 pixels wide however far the picture stretches.
  EXPECT_EQ(PixelAt(png, 81, 1), kBlack);
  EXPECT_EQ(PixelAt(png, 81, 50), kBlack);
  EXPECT_EQ(PixelAt(png, 86, 50), kWhite);
  EXPECT_EQ(PixelAt(png, 125, 97), kBlack);
  EXPECT_EQ(PixelAt(png, 125, 50), kWhite);
  // The masked colour lets the control's blue background through; red stays.
  EXPECT_EQ(PixelAt(png, 175, 50), kBlue);
  EXPECT_EQ(PixelAt(png, 205, 50), kRed);
  // fade 128 of white over black is mid grey.
  EXPECT_TRUE(Near(PixelAt(png, 230, 50), 0xff808080u)) << std::hex << PixelAt(png, 230, 50);
  // dest places the picture at 10,10-20,20 inside the control; the rest shows the layout.
  EXPECT_EQ(PixelAt(png, 265, 15), kWhite);
  EXPECT_EQ(PixelAt(png, 255, 5), kBackground);
  EXPECT_EQ(PixelAt(png, 285, 25), kBackground);
  // Inline picture number 1 of the strip is green; the coloured text is red.
  const RECT html{0, 100, 400, 140};
  EXPECT_GT(CountPixels(png, RECT{0, 100, 20, 140}, [](std::uint32_t p) { return p == kGreen; }), 100);
  EXPECT_EQ(CountPixels(png, html, [](std::uint32_t p) { return p == kBlue; }), 0)
      << "picture 2 is not shown";
  EXPECT_GT(CountPixels(png, html, [](std::uint32_t p) { return Near(p, kRed, 60); }), 30);
  // The button's normal picture (red) under white text that ignores the alpha byte.
  EXPECT_EQ(PixelAt(png, 3, 143), kRed);
  EXPECT_GT(CountPixels(png, RECT{150, 140, 250, 180}, [](std::uint32_t p) { return Near(p, kWhite, 40); }),
            20);
  // Yellow text in the big font, inside a 2-pixel green border.
  EXPECT_GT(
      CountPixels(png, RECT{0, 180, 400, 220}, [](std::uint32_t p) { return Near(p, 0xffffff00u, 40); }), 60);
  EXPECT_EQ(PixelAt(png, 200, 180), kGreen);
  EXPECT_EQ(PixelAt(png, 200, 219), kGreen);
  EXPECT_EQ(PixelAt(png, 200, 182), kBackground);
  // Below everything: the layout's own colour.
  EXPECT_EQ(PixelAt(png, 200, 280), kBackground);
  std::set<std::uint32_t> colours;
  for (int y = 0; y < 300; y += 3) {
    for (int x = 0; x < 400; x += 3) colours.insert(PixelAt(png, x, y));
  }
  EXPECT_GT(colours.size(), 20u) << "a real paint, not a flat fill";
  cairo_surface_destroy(png);

  // Hovering the button switches to its hot picture (blue).
  MoveMouse(hwnd, 3, 143);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 300);
  ASSERT_TRUE(window.pm.RenderToSurface(surface));
  EXPECT_EQ(PixelAt(surface, 3, 143), kBlue);
  cairo_surface_write_to_png(surface, (OutputDir() / "render_showcase_hot.png").string().c_str());
  cairo_surface_destroy(surface);
}

TEST_F(RenderTest, PaintMessagePaintsOnlyInsideTheClip) {
  LayoutWindow window(kShowcase);
  const HWND hwnd = window.Open(400, 300);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 300);
  cairo_t* cr = cairo_create(surface);
  cairo_rectangle(cr, 0, 0, 100, 100);
  cairo_clip(cr);
  EXPECT_EQ(SendMessage(hwnd, WM_PAINT, 0, reinterpret_cast<LPARAM>(cr)), 0);
  cairo_destroy(cr);
  EXPECT_EQ(PixelAt(surface, 40, 50), kGreen);
  EXPECT_EQ(PixelAt(surface, 200, 280), 0u) << "outside the damaged area";
  // The first paint also lays out and sends "windowinit" if the posted one has not come yet.
  EXPECT_EQ(window.LogOf("windowinit").size(), 1u);
  loop_->Pump();
  EXPECT_EQ(window.LogOf("windowinit").size(), 1u);
  cairo_surface_destroy(surface);
}

cairo_surface_t* Render(CPaintManagerUI& pm, int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  EXPECT_TRUE(pm.RenderToSurface(surface));
  return surface;
}

bool SamePixels(cairo_surface_t* a, cairo_surface_t* b, const RECT& rc) {
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) {
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
    }
  }
  return true;
}

TEST_F(RenderTest, PasswordEditDrawsBulletsAndTheFocusedEditACaret) {
  LayoutWindow window(R"(<Window size="200,60"><VerticalLayout bkcolor="#FFFFFFFF">
      <Edit name="edpw" height="30" password="true" textcolor="#FF000000"/>
      <Edit name="plain" height="30" textcolor="#FF000000"/></VerticalLayout></Window>)");
  const HWND hwnd = window.Open(200, 60);
  auto* password = window.Find<CEditUI>("edpw");
  auto* plain = window.Find<CEditUI>("plain");
  password->SetText("abc");
  plain->SetText("abc");
  cairo_surface_t* first = Render(window.pm, 200, 60);
  password->SetText("xyz");
  plain->SetText("xyz");
  cairo_surface_t* second = Render(window.pm, 200, 60);
  EXPECT_EQ(password->GetText(), "xyz");
  EXPECT_TRUE(SamePixels(first, second, RECT{0, 0, 200, 30})) << "three bullets either way";
  EXPECT_FALSE(SamePixels(first, second, RECT{0, 30, 200, 60})) << "plain text shows the letters";
  EXPECT_GT(CountPixels(first, RECT{0, 0, 200, 30}, [](std::uint32_t p) { return p != kWhite; }), 20);
  ClickControl(hwnd, plain);
  const int caret_x = plain->CaretRect().left;
  cairo_surface_t* focused = Render(window.pm, 200, 60);
  EXPECT_EQ(PixelAt(focused, caret_x, 45), kBlack);
  EXPECT_EQ(PixelAt(second, caret_x, 45), kWhite);
  cairo_surface_write_to_png(focused, (OutputDir() / "render_edits.png").string().c_str());
  for (cairo_surface_t* s : {first, second, focused}) cairo_surface_destroy(s);
}

TEST_F(RenderTest, ProgressFillsItsShareAndListShowsTheSelectedRow) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  pm.AttachDialog(builder.Create(R"(<Window size="200,120"><VerticalLayout bkcolor="#FFFFFFFF">
      <Progress name="p" height="20" forecolor="#FF00FF00" max="200" value="50"/>
      <List name="l" itemselectedbkcolor="#FF0000FF" itemhotbkcolor="#FFFF0000" itemtextcolor="#FF000000">
        <ListLabelElement text="一" height="25"/><ListLabelElement text="二" height="25"/>
      </List></VerticalLayout></Window>)",
                                 nullptr, &pm));
  auto* list = static_cast<CListUI*>(pm.FindControl("l"));
  ASSERT_TRUE(list->SelectItem(1));
  cairo_surface_t* surface = Render(pm, 200, 120);
  EXPECT_EQ(PixelAt(surface, 10, 10), kGreen);
  EXPECT_EQ(PixelAt(surface, 48, 10), kGreen);
  EXPECT_EQ(PixelAt(surface, 52, 10), kWhite);
  EXPECT_EQ(PixelAt(surface, 190, 50), kBlue) << "row 1 (y 45..70) is selected";
  EXPECT_EQ(PixelAt(surface, 190, 30), kWhite);
  static_cast<CProgressUI*>(pm.FindControl("p"))->SetValue(500);
  cairo_surface_t* full = Render(pm, 200, 120);
  EXPECT_EQ(PixelAt(full, 198, 10), kGreen) << "values past the maximum fill the bar, no more";
  cairo_surface_destroy(surface);
  cairo_surface_destroy(full);
}

TEST_F(RenderTest, PictureInsideALinkIsNotUnderlinedButLinkTextIs) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  pm.AttachDialog(builder.Create(R"(<Window size="100,90"><Font id="1" name="Noto Sans CJK SC" size="12" underline="true"/>
      <VerticalLayout bkcolor="#FFFFFFFF">
      <Label name="picture" height="30" showhtml="true" text="<a><i strip.png 3 2></a>"/>
      <Label name="text" height="30" showhtml="true" text="<a>link</a>"/>
      <Label name="underlined" height="30" showhtml="true" font="1" text="<i strip.png 3 2>"/></VerticalLayout></Window>)",
                                 nullptr, &pm));
  cairo_surface_t* surface = Render(pm, 100, 90);
  // The tree lists put their expander pictures in links: a line under a picture is a stray mark,
  // so the picture's label holds the picture (pure blue) and nothing else.
  EXPECT_GT(CountPixels(surface, RECT{0, 0, 100, 30}, [](std::uint32_t p) { return p == kBlue; }), 100);
  auto stray = [](std::uint32_t p) { return p != kBlue && p != kWhite; };
  EXPECT_EQ(CountPixels(surface, RECT{0, 0, 100, 30}, stray), 0);
  EXPECT_EQ(CountPixels(surface, RECT{0, 60, 100, 90}, stray), 0) << "nor by an underlined font";
  // Text links keep their underline: the only mark wider than a letter.
  int widest_run = 0;
  for (int y = 30; y < 60; ++y) {
    int run = 0;
    for (int x = 0; x < 100; ++x) {
      run = PixelAt(surface, x, y) != kWhite ? run + 1 : 0;
      widest_run = std::max(widest_run, run);
    }
  }
  EXPECT_GT(widest_run, 15);
  cairo_surface_write_to_png(surface, (OutputDir() / "render_link_picture.png").string().c_str());
  cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace qrv::testing
