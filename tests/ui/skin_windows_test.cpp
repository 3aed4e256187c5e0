// The real skin of the build (skin/box.bk of the program folder): every window's layout holds the
// controls its window looks up, the frames lie where the windows put fields of their own, and
// the emoticon pictures of the program folder are all there and animated.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>

#include "ui/resources/image_cache.h"
#include "ui_test_support.h"

namespace qrv::testing {
namespace {

// Stands in for the program's builder callback: its two custom lists become plain lists.
class CustomLists : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const std::string& tag) override {
    return tag == "GameList" || tag == "FriendList" ? new CListUI : nullptr;
  }
};

struct WindowLayout {
  const char* file;
  const char* controls;  // "name:Kind ..." with Kind an interface name
};

constexpr WindowLayout kWindowLayouts[] = {
    {"moreui.xml", "bnclock:Button bnset:Button bnboss:Button bnfeedback:Button "
                   "bnflashrepair:Button bnclear:Button"},
    {"syssetui.xml", "bncg:Button bnrj:Button bngx:Button switch:TabLayout opautorun:Option "
                     "opautologin:Option opshowtop:Option opminsize:Option opexit:Option "
                     "zidonggengxin:Option tishigengxin:Option bnok:Button bncancle:Button "
                     "bnapp:Button bnclose:Button lbcapstate:Label lbbossstate:Label "
                     "lbhotkeyerror:Label"},
    {"bosssetui.xml", "openbale:Option bnok:Button bnclose:Button lbbossstate:Label "
                      "lbhotkeyerror:Label"},
    {"repairtoolui.xml", "tishi1:Label tishi2:Label tishi3:Label ProgressUI1:Progress "
                         "TextUI1:Label bnok:Button bncanel:Button bnok1:Button bnclose:Button"},
    {"flashrepair.xml", "TextUI2:Text TextUI3:Label ProgressUI1:Progress bnok:Button "
                        "bncancle:Button bnquxiao:Button bnblack:Button bnclose:Button"},
    {"gmlist.xml", "btnMin:Button btnMax:Button btnRestore:Button btnClose:Button "
                   "bnclose:Button gamelist:List"},
    {"chatdlg.xml", "bnface:Button bnimage:Button bnsend:Button "
                    "HorizontalLayoutUI1:HorizontalLayout"},
    {"facedlg.xml", "HorizontalLayoutUI3:HorizontalLayout HorizontalLayoutUI5:HorizontalLayout "
                    "HorizontalLayoutUI6:HorizontalLayout"},
    {"clocklist.xml", "friends:List bnset:Button bnclose:Button"},
    {"friend_list_item.xml", "logo_container:Container logo:Label nickname:Label "
                             "description:Label LabelUI1:Label ButtonUI5:Button"},
    {"clockui.xml", "bndate:Button comhour:Combo comminute:Combo comrepeat:Combo "
                    "editinput:Edit txtishi:Label bnok:Button bnclose:Button"},
    {"alarmtip.xml", "txtime:Label txtext:Label txmissed:Label bnok:Button bnclose:Button"},
};

class SkinWindowsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(QRV_SKIN_ARCHIVE));
  }
};

TEST_F(SkinWindowsTest, EveryWindowLayoutHoldsTheControlsItsWindowLooksUp) {
  CustomLists callback;
  for (const WindowLayout& layout : kWindowLayouts) {
    SCOPED_TRACE(layout.file);
    CPaintManagerUI pm;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(layout.file, &callback, &pm);
    ASSERT_NE(root, nullptr);
    pm.AttachDialog(root);
    std::istringstream controls(layout.controls);
    for (std::string entry; controls >> entry;) {
      const std::size_t colon = entry.find(':');
      CControlUI* control = pm.FindControl(entry.substr(0, colon));
      ASSERT_NE(control, nullptr) << entry;
      EXPECT_NE(control->GetInterface(entry.substr(colon + 1)), nullptr) << entry;
    }
    // For a person to look at; a row template has no size of its own.
    if (pm.GetInitSize().cx > 0) {
      EXPECT_TRUE(pm.RenderToPng((OutputDir() / layout.file).string() + ".png"));
    }
  }
}

// The rectangle of the topmost control at `pt`, the layout laid out at its own size.
RECT ControlRectAt(const std::string& layout, POINT pt,
                   const std::function<void(CPaintManagerUI&)>& prepare = {}) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  pm.AttachDialog(builder.Create(layout, nullptr, &pm));
  if (prepare) prepare(pm);
  CControlUI* control = pm.FindControl(pt);
  return control != nullptr ? control->GetPos() : RECT{};
}

TEST_F(SkinWindowsTest, FramesLieWhereTheWindowsPutFieldsOfTheirOwn) {
  // Key-capture fields at 263,86,438,101 and 263,162,438,177 (settings) and 125,98,300,113
  // (boss key), each inside a frame 6 pixels larger.
  auto hotkey_page = [](CPaintManagerUI& pm) {
    static_cast<CTabLayoutUI*>(pm.FindControl("switch")->GetInterface("TabLayout"))->SelectItem(1);
  };
  EXPECT_EQ(ControlRectAt("syssetui.xml", {300, 90}, hotkey_page), (RECT{257, 80, 444, 107}));
  EXPECT_EQ(ControlRectAt("syssetui.xml", {300, 170}, hotkey_page), (RECT{257, 156, 444, 183}));
  EXPECT_EQ(ControlRectAt("bosssetui.xml", {200, 105}), (RECT{119, 92, 306, 119}));
  // The chat's history and input views cover these exactly.
  EXPECT_EQ(ControlRectAt("chatdlg.xml", {400, 200}), (RECT{0, 66, 800, 416}));
  EXPECT_EQ(ControlRectAt("chatdlg.xml", {400, 500}), (RECT{0, 444, 800, 618}));
}

TEST_F(SkinWindowsTest, DropDownsAreDarkAndPickerBitmapsDecode) {
  CPaintManagerUI pm;
  CDialogBuilder builder;
  pm.AttachDialog(builder.Create("clockui.xml", nullptr, &pm));
  CControlUI* hours = pm.FindControl("comhour");
  ASSERT_NE(hours, nullptr);
  auto* combo = static_cast<CComboUI*>(hours->GetInterface("Combo"));
  ASSERT_NE(combo, nullptr);
  CListUI drop_list;
  drop_list.ApplyAttributeList(combo->GetDropBoxAttributeList());
  EXPECT_EQ(drop_list.GetBkColor(), 0xff0e1b32u) << "the default drop-down is white";
  cairo_surface_t* face = ui::ImageCache::Get("130.bmp");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(face), 26);
}

TEST(EmotionsFolder, HoldsTwentySevenDistinctAnimations) {
  const char* names[] = {"1",  "2",   "3",   "4",   "5",   "6",   "7",   "8",   "9",
                         "10", "11",  "12",  "130", "140", "150", "160", "170", "18",
                         "19", "200", "210", "220", "230", "240", "250", "260", "27"};
  std::set<std::string> contents;
  for (const char* name : names) {
    const std::string path = std::string(QRV_EMOTIONS_DIR) + "/" + name + ".gif";
    SCOPED_TRACE(path);
    g_autoptr(GdkPixbufAnimation) animation = gdk_pixbuf_animation_new_from_file(path.c_str(), nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(animation)) << "more than one frame";
    EXPECT_EQ(gdk_pixbuf_animation_get_width(animation), 24);
    std::ifstream in(path, std::ios::binary);
    contents.insert(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  EXPECT_EQ(contents.size(), std::size(names)) << "every picture differs from the others";
}

}  // namespace
}  // namespace qrv::testing
