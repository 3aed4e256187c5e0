// The skin archive: layouts and pictures read from a zip (file, in memory, cached or not) or a
// folder, looked up without regard to case; a missing or broken archive reported once.

#include <gtest/gtest.h>

#include <fstream>

#include "ui/resources/image_cache.h"
#include "ui/resources/skin_archive.h"
#include "ui_test_support.h"

namespace qrv::testing {
namespace {

class SkinTest : public UiTest {
 protected:
  std::map<std::string, std::string> Files() {
    return {
        {"loginex1.xml",
         R"(<Window size="120,60"><VerticalLayout name="root"><Button name="login"/></VerticalLayout></Window>)"},
        {"images/CheckBox.png", SolidPng(26, 13, 0xff00ff00u)}};
  }
  TempDir dir_;
};

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(SkinTest, ZipArchiveServesLayoutsAndPicturesCachedOrNot) {
  const std::string path = dir_.File("box.bk");
  WriteZip(path, Files());
  for (bool cached : {false, true}) {
    ASSERT_TRUE(CPaintManagerUI::SetResourceZip(path, cached));
    LayoutWindow window("loginex1.xml");
    window.Open(10, 10);
    EXPECT_NE(window.pm.FindControl("login"), nullptr);
    EXPECT_EQ(GetClientRect(window.GetHWND()), (RECT{0, 0, 120, 60}));
    cairo_surface_t* picture = ui::ImageCache::Get("CHECKBOX.PNG");
    ASSERT_NE(picture, nullptr) << "found by base name without regard to case";
    EXPECT_EQ(cairo_image_surface_get_width(picture), 26);
  }
}

TEST_F(SkinTest, RelativeArchivePathsStartAtTheProgramFolder) {
  std::filesystem::create_directories(dir_.File("skin"));
  WriteZip(dir_.File("skin/box.bk"), Files());
  const std::string saved = CPaintManagerUI::GetInstance();
  CPaintManagerUI::SetInstance(dir_.File("zelto_qrv"));
  EXPECT_EQ(CPaintManagerUI::GetInstancePath(), dir_.path() + "/");
  EXPECT_TRUE(CPaintManagerUI::SetResourceZip("skin/box.bk"));
  CDialogBuilder builder;
  CPaintManagerUI pm;
  CControlUI* root = builder.Create("loginex1.xml", nullptr, &pm);
  EXPECT_NE(root, nullptr);
  delete root;
  CPaintManagerUI::SetInstance(saved);
}

TEST_F(SkinTest, MissingArchiveIsOneLineAndEmptyWindows) {
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(CPaintManagerUI::SetResourceZip(dir_.File("skin/box.bk")));
  LayoutWindow first("loginex1.xml");
  LayoutWindow second("serlistui.xml");
  const HWND hwnd = first.Open(100, 100);
  second.Open(100, 100);
  loop_->Pump();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 1) << err;
  EXPECT_NE(err.find("zelto_qrv: skin archive "), std::string::npos) << err;
  EXPECT_NE(err.find("skin/box.bk cannot be read: "), std::string::npos) << err;
  // The windows exist, empty: no root, no controls, painting and input do nothing.
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(first.pm.GetRoot(), nullptr);
  EXPECT_EQ(first.pm.FindControl("login"), nullptr);
  Click(hwnd, 10, 10);
  EXPECT_EQ(SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(110, 110)), HTCLIENT);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
  EXPECT_TRUE(first.pm.RenderToSurface(surface));
  EXPECT_EQ(PixelAt(surface, 50, 50), 0u) << "nothing painted";
  cairo_surface_destroy(surface);
  EXPECT_TRUE(first.notes.empty());
}

TEST_F(SkinTest, BrokenArchiveIsReportedLikeAMissingOne) {
  const std::string path = dir_.File("box.bk");
  std::ofstream(path) << "this is not a zip archive at all, just text";
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(CPaintManagerUI::SetResourceZip(path, false));
  EXPECT_FALSE(CPaintManagerUI::SetResourceZip(path, true));
  EXPECT_FALSE(CPaintManagerUI::SetResourceZipData("PK\x03\x04 truncated"));
  CDialogBuilder builder;
  CPaintManagerUI pm;
  EXPECT_EQ(builder.Create("loginex1.xml", nullptr, &pm), nullptr);
  EXPECT_EQ(ui::ImageCache::Get("ser.png"), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 3) << "one per opening, nothing per read: " << err;
}

TEST_F(SkinTest, MissingEntryOfAGoodArchiveIsNamedOnce) {
  const std::string path = dir_.File("box.bk");
  WriteZip(path, Files());
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(CPaintManagerUI::SetResourceZipData(bytes));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ui::ImageCache::Get("nothere.png"), nullptr);
  EXPECT_EQ(ui::ImageCache::Get("nothere.png"), nullptr);
  CDialogBuilder builder;
  EXPECT_EQ(builder.Create("gone.xml"), nullptr);
  EXPECT_EQ(builder.Create("gone.xml"), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Lines(err), 2) << err;
  EXPECT_NE(err.find("nothere.png"), std::string::npos);
  EXPECT_NE(err.find("gone.xml"), std::string::npos);
}

TEST_F(SkinTest, FolderAndInMemoryFilesServeTheSameWay) {
  std::filesystem::create_directories(dir_.File("sub"));
  std::ofstream(dir_.File("sub/Login.XML")) << Files()["loginex1.xml"];
  ASSERT_TRUE(CPaintManagerUI::SetResourceFolder(dir_.path()));
  CDialogBuilder from_folder;
  std::unique_ptr<CControlUI> a(from_folder.Create("login.xml"));
  EXPECT_NE(a, nullptr);
  CPaintManagerUI::SetResourceFiles({{"x.xml", "<Button name=\"b\"/>"}});
  CDialogBuilder from_memory;
  std::unique_ptr<CControlUI> b(from_memory.Create("x.xml"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->GetName(), "b");
  // Built-in files of the program come before the archive.
  ui::SkinResources::AddFile("x.xml", "<Label name=\"builtin\"/>");
  std::unique_ptr<CControlUI> c(from_memory.Create("x.xml"));
  EXPECT_EQ(c->GetName(), "builtin");
}

}  // namespace
}  // namespace qrv::testing
