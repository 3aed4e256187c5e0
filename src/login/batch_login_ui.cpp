#include "login/batch_login_ui.h"

#include <memory>

#include "platform/debug_sink.h"
#include "platform/messages.h"

namespace qrv {
namespace {

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
  return Create(main_frame, kTabTitle, kChildStyle, 0, rect);
}

LRESULT CBatchLoginUI::OnMessage(UINT msg, WPARAM, LPARAM, bool&) {
  // Opens the account step, then the double click goes on as usual.
  if (msg == WM_LBUTTONDBLCLK && steps_ != nullptr) {
    CControlUI* emblem = FindControl(kEmblemName);
    if (emblem != nullptr && pm_.GetFocus() == emblem) SelectStep(kAccountStep);
  }
  return 0;
}

LRESULT CBatchLoginUI::OnCreate() {
  steps_ = FindControl<CTabLayoutUI>(kStepsName);
  return 0;
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
  auto* tiles = FindControl<CContainerUI>(kTilesName);
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
