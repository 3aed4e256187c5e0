// Layouts, attribute lists and text markup come from the skin archive, a file the player can
// replace: none of them may crash the program. The input's first byte picks what is fed.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/headless_loop.h"
#include "platform/headless_windows.h"
#include "ui/render/text_markup.h"
#include "ui/ui.h"

namespace {

void FeedLayout(const std::string& xml) {
  qrv::CPaintManagerUI pm;
  qrv::CDialogBuilder builder;
  qrv::CControlUI* root = builder.Create(xml, nullptr, &pm);
  if (root == nullptr) return;
  pm.AttachDialog(root);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 48);
  pm.RenderToSurface(surface);
  cairo_surface_destroy(surface);
}

void FeedAttributeList(const std::string& list) {
  qrv::CPaintManagerUI pm;
  qrv::CDialogBuilder builder;
  qrv::CControlUI* root = builder.Create(
      R"(<Window size="64,48"><HorizontalLayout><Button name="b"/><Option name="o"/><Label name="l"/></HorizontalLayout></Window>)",
      nullptr, &pm);
  if (root == nullptr) return;
  pm.AttachDialog(root);
  for (const char* name : {"b", "o", "l"}) {
    if (qrv::CControlUI* control = pm.FindControl(name)) {
      control->ApplyAttributeList(list);
      control->SetText(list);
    }
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 48);
  pm.RenderToSurface(surface);
  cairo_surface_destroy(surface);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    qrv::HeadlessLoop::Install();
    qrv::HeadlessWindows::Install();
    qrv::CPaintManagerUI::SetResourceFiles({});
    return true;
  }();
  (void)ready;
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      FeedLayout(text);
      break;
    case 1:
      FeedAttributeList(text);
      break;
    default:
      qrv::ui::ParseMarkup(text);
      break;
  }
  return 0;
}
