// qrv_render_layout: paints one layout of a skin into a PNG file without a display, so that
// skin work can be looked at (and compared) outside the program.
//
//   qrv_render_layout <skin archive or folder> <layout name> <output.png> [width height]
//
// The size defaults to the layout's <Window size>. Exit code 0 on success, 1 on bad arguments,
// 2 when the skin or layout cannot be read, 3 when the picture cannot be written.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "ui/ui.h"

int main(int argc, char** argv) {
  using namespace qrv;
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: %s <skin archive or folder> <layout> <output.png> [width height]\n",
                 argv[0]);
    return 1;
  }
  HeadlessLoop::Install();
  HeadlessWindows::Install();
  // Relative to where the tool was started, not to the tool's own folder.
  const std::string skin = std::filesystem::absolute(argv[1]).string();
  std::error_code ec;
  const bool opened = std::filesystem::is_directory(skin, ec) ? CPaintManagerUI::SetResourceFolder(skin)
                                                              : CPaintManagerUI::SetResourceZip(skin, true);
  if (!opened) return 2;

  CPaintManagerUI pm;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(argv[2], nullptr, &pm);
  if (root == nullptr) return 2;
  pm.AttachDialog(root);
  if (argc == 6) pm.SetInitSize(std::atoi(argv[4]), std::atoi(argv[5]));
  if (pm.GetInitSize().cx <= 0 || pm.GetInitSize().cy <= 0) {
    std::fprintf(stderr, "%s has no <Window size>; give width and height\n", argv[2]);
    return 1;
  }
  pm.NeedUpdate();
  if (!pm.RenderToPng(argv[3])) {
    std::fprintf(stderr, "%s cannot be written\n", argv[3]);
    return 3;
  }
  return 0;
}
