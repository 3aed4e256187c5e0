// Both lists with a few rows on the real skin, painted to a PNG: the pictures the rows name
// (group banner, expander, state icons, folder icon) and their texts must reach the picture.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "lists/agent_rows.h"
#include "lists/lists_test_support.h"

namespace qrv::testing {
namespace {

class ListsRenderTest : public ListsTest {};

constexpr char kLayout[] = R"(<Window size="540,200"><HorizontalLayout bkcolor="#FFFFFFFF">
  <GameList name="gamelist" width="200" itemheight="26" itemtextcolor="#FF203040"/>
  <Control width="20" bkcolor="#FFFFFFFF"/>
  <FriendList name="friends" itemtextcolor="#FF203040"/>
</HorizontalLayout></Window>)";

std::filesystem::path OutputFile(const std::string& name) {
  const char* binary = std::getenv("QRV_BINARY_DIR");
  std::filesystem::path dir = binary != nullptr ? std::filesystem::path(binary)
                                                : std::filesystem::read_symlink("/proc/self/exe").parent_path();
  dir /= "test_output/lists";
  std::filesystem::create_directories(dir);
  return dir / name;
}

// How many pixels of `rc` match.
int CountPixels(cairo_surface_t* surface, const RECT& rc, const std::function<bool(std::uint32_t)>& match) {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += match(PixelAt(surface, x, y)) ? 1 : 0;
  }
  return count;
}

bool IsWhite(std::uint32_t argb) { return (argb & 0xffffffu) == 0xffffffu; }

// Strongly coloured: one channel far from another (the grey text and the white page are not).
bool IsColourful(std::uint32_t argb) {
  const int r = (argb >> 16) & 0xff, g = (argb >> 8) & 0xff, b = argb & 0xff;
  return std::max({r, g, b}) - std::min({r, g, b}) > 60;
}

TEST_F(ListsRenderTest, BothListsPaintTheirRowsOnTheRealSkin) {
  ListWindow window(kLayout);
  window.Open(540, 200);
  auto* games = window.Find<CGameListUI>("gamelist");
  auto* friends = window.Find<CFriendsUI>("friends");
  ASSERT_TRUE(games && friends);
  FillAgentList(*games, {ListedAgent{1, "小红", 0, 1}, ListedAgent{2, "老王", 3, 1}, ListedAgent{3, "Amy", 2, 0}});
  ListNode* other_group = games->GetRootNode()->children[1].get();
  games->SetExpanded(other_group, false);

  FriendListEntry alarm;
  alarm.id = "1";
  alarm.logo = "1";
  alarm.nickname = "2013-5-20|8|30|";
  alarm.description = "boss";
  alarm.note = "每天";
  ListNode* first = friends->AddNode(alarm);
  FriendListEntry folder;
  folder.folder = true;
  folder.nickname = "提醒";
  ListNode* folder_node = friends->AddNode(folder);
  ASSERT_TRUE(first && folder_node);
  friends->SelectItem(0);

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 540, 200);
  ASSERT_TRUE(window.pm.RenderToSurface(surface));
  const std::filesystem::path png = OutputFile("lists.png");
  cairo_surface_write_to_png(surface, png.c_str());
  std::cout << "rendering: " << png << "\n";

  // Group rows: banner background over the whole row and the expander near the left.
  const RECT local_group = games->GetItemAt(0)->GetPos();
  EXPECT_EQ(local_group.bottom - local_group.top, 26);
  EXPECT_GT(CountPixels(surface, local_group, [](std::uint32_t p) { return !IsWhite(p); }),
            (local_group.right - local_group.left) * 20)
      << "tree_top.png fills the group row";
  const RECT expander{local_group.left + 4, local_group.top, local_group.left + 30, local_group.bottom};
  EXPECT_GT(CountPixels(surface, expander, IsColourful), 10) << "tree_expand.png";
  // Agent rows: the state icon sits 6 + 24 + 4 pixels in.
  const RECT agent = games->GetItemAt(1)->GetPos();
  const RECT icon{agent.left + 30, agent.top, agent.left + 56, agent.bottom};
  EXPECT_GT(CountPixels(surface, icon, IsColourful), 20) << "gameicons.png picture 12";
  const RECT name{agent.left + 56, agent.top, agent.right, agent.bottom};
  EXPECT_GT(CountPixels(surface, name, [](std::uint32_t p) { return !IsWhite(p); }), 40) << "the agent's text";
  // The collapsed second group hides its agent.
  EXPECT_FALSE(games->GetItemAt(4)->IsVisible());

  // Friends rows: the logo button, and the folder icon before the folder's name.
  const RECT logo = Part(first->element, "logo")->GetPos();
  EXPECT_EQ(logo.right - logo.left, 24);
  EXPECT_GT(CountPixels(surface, logo, IsColourful), 24 * 24 / 2);
  const RECT folder_name = Part(folder_node->element, "nickname")->GetPos();
  EXPECT_EQ(folder_name.left, folder_node->element->GetPos().left) << "no logo in a folder row";
  const RECT folder_icon{folder_name.left, folder_name.top, folder_name.left + 12, folder_name.bottom};
  EXPECT_GT(CountPixels(surface, folder_icon, [](std::uint32_t p) { return (p & 0xffffffu) < 0x808080u; }), 40)
      << "list_icon_a.png";
  const RECT note = Part(first->element, "LabelUI1")->GetPos();
  EXPECT_GT(CountPixels(surface, note, [](std::uint32_t p) { return !IsWhite(p) && (p & 0xff) > 0x60; }), 20)
      << "the grey note";
  cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace qrv::testing
