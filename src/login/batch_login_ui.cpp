#include "login/batch_login_ui.h"

#include <memory>

#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr const char* kLayout = "loginpl.xml";
constexpr const char* kStepsName = "TabLayoutUI1";
constexpr const char* kTilesName = "HorizontalLayoutUI41";
constexpr const char* kEmblemName = "ControlUI1";
constexpr const char* kAddTileName = "ButtonUI2";
constexpr int kAccountStep = 1;
constexpr int kResultStep = 2;

// Every attribute list the page applies is also written to the debug output.
void ApplyLogged(CControlUI& control, const char* attributes) {
  OutputDebugString(std::string(attributes) + "\r\n");
  control.ApplyAttributeList(attributes);
}

// Hands `child` to `parent`; a child the container refuses is freed here.
bool AdoptInto(CContainerUI& parent, std::unique_ptr<CControlUI> child) {
  if (!parent.Add(child.get())) return false;
  static_cast<void>(child.release());  // the container owns it now
  return true;
}

}  // namespace

RECT CBatchLoginUI::PageRect(const RECT& work_area) {
  return RECT{work_area.left, kTopBand, work_area.left + work_area.right, work_area.bottom};
}

HWND CBatchLoginUI::CreatePage(HWND main_frame, const RECT& rect) {
  return Create(main_frame, kTabTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, rect);
}

LRESULT CBatchLoginUI::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CREATE:
      BuildWindow();
      return 0;
    case WM_LBUTTONDBLCLK:
      // Opens the account step, then the double click goes on as usual.
      if (steps_ != nullptr) {
        CControlUI* emblem = pm_.FindControl(kEmblemName);
        if (emblem != nullptr && pm_.GetFocus() == emblem) SelectStep(kAccountStep);
      }
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void CBatchLoginUI::BuildWindow() {
  BuildSkin(pm_, kLayout, this);
  steps_ = static_cast<CTabLayoutUI*>(pm_.FindControl(kStepsName));
  if (steps_ != nullptr && steps_->GetInterface("TabLayout") == nullptr) steps_ = nullptr;
}

void CBatchLoginUI::SelectStep(int step) {
  if (steps_ != nullptr) steps_->SelectItem(step);
}

void CBatchLoginUI::Notify(TNotifyUI& msg) {
  const std::string name = msg.pSender != nullptr ? msg.pSender->GetName() : std::string();
  OutputDebugString(msg.sType + name + "\n");
  if (msg.sType != "click") return;
  if (name == "bnadd")
    SelectStep(kAccountStep);
  else if (name == "bnok")
    SelectStep(kResultStep);
  else if (name == kAddTileName)
    AppendAccountTile();
}

bool CBatchLoginUI::AppendAccountTile() {
  auto* tiles = dynamic_cast<CContainerUI*>(pm_.FindControl(kTilesName));
  if (tiles == nullptr) return false;

  // The parts are owned here until the tile holds them, so a failure part-way leaks nothing.
  auto picture = std::make_unique<CControlUI>();
  ApplyLogged(*picture, kPictureAttributes);
  auto check_box = std::make_unique<COptionUI>();
  ApplyLogged(*check_box, kCheckBoxAttributes);
  auto close_button = std::make_unique<CButtonUI>();
  ApplyLogged(*close_button, kCloseButtonAttributes);
  auto caption = std::make_unique<CTextUI>();
  ApplyLogged(*caption, kCaptionAttributes);

  auto tile = std::make_unique<CHorizontalLayoutUI>();
  if (!AdoptInto(*tile, std::move(picture)) || !AdoptInto(*tile, std::move(check_box)) ||
      !AdoptInto(*tile, std::move(close_button)) || !AdoptInto(*tile, std::move(caption))) {
    return false;
  }
  ApplyLogged(*tile, kTileAttributes);
  return AdoptInto(*tiles, std::move(tile));
}

}  // namespace qrv
