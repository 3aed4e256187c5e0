#include "login/login_dlg.h"

#include <cstdio>

#include "login/login_credentials.h"
#include "login/login_error_window.h"
#include "platform/debug_sink.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "tools/check_dlg.h"

namespace qrv {
namespace {

// The layout's background outside the rounded panel is this colour, which the window system
// makes see-through.
constexpr std::uint32_t kColorKey = 0x0A0A0A;
constexpr std::uint8_t kOpacity = 250;

bool IsPlainClickTarget(const CControlUI* control) {
  if (control == nullptr) return false;
  const std::string cls = control->GetClass();
  return cls == "ButtonUI" || cls == "OptionUI" || cls == "TextUI";
}

std::string NumberedName(const char* format, std::size_t number) {
  char name[32];
  std::snprintf(name, sizeof name, format, static_cast<int>(number));
  return name;
}

}  // namespace

LRESULT CLoginDlg::OnCreate() {
  WindowSystem::Get().SetLayered(hwnd_, kColorKey, kOpacity);
  if (!browser_) {
    // A view of no size: it only hands pages to the system's browser and never shows one.
    browser_ = std::make_unique<CMyHtmlView>(services_.web);
    browser_->Create(hwnd_, RECT{0, 0, 0, 0}, CMyHtmlView::kFirstViewId);
  }
  FindControls();

  const SettingsFile& settings = services_.settings;
  auto_login_ = settings.ReadInt(settings::kRunset, settings::kAutologin, 1) != 0;
  if (auto_login_) SetTimer(hwnd_, kAutoLoginTimer, kAutoLoginDelayMs);
  note_ = settings.ReadInt(settings::kUpdateLower, settings::kNote, 0) != 0;
  if (note_) SetTimer(hwnd_, kFillInTimer, kFillInDelayMs);

  LoadNews();
  return 0;
}

void CLoginDlg::FindControls() {
  account_edit_ = FindControl<CEditUI>("edusername");
  password_edit_ = FindControl<CEditUI>("edpw");
  note_option_ = FindControl<COptionUI>("opnote");
  switch_ = FindControl<CTabLayoutUI>("switch");
  login_button_ = FindControl<CButtonUI>("login");
  start_button_ = FindControl<CButtonUI>("bnstart");
  logout_button_ = FindControl<CButtonUI>("bnlogout");
  nickname_text_ = FindControl<CLabelUI>("txnickname");
  recent_label_ = FindControl<CLabelUI>("lbstate");
  recommended_label_ = FindControl<CLabelUI>("lbstate2");
  recommended_button_ = FindControl<CButtonUI>("bntuijian");
  for (std::size_t i = 0; i < 3; ++i) recent_buttons_[i] = FindControl<CButtonUI>(NumberedName("bnzuiji%d", i + 1));
  if (login_button_ != nullptr) login_text_ = login_button_->GetText();
  if (start_button_ != nullptr) start_text_ = start_button_->GetText();
  for (std::size_t i = 0; i < kNewsSlots; ++i) {
    news_buttons_[i] = FindControl<CButtonUI>(NumberedName("bnnew%d", i + 1));
    news_dates_[i] = FindControl<CLabelUI>(NumberedName("txnew%d", i + 1));
  }
}

void CLoginDlg::LoadNews() {
  // The window shows at once; the news fill in when they arrive.
  platform_.FetchNews(replies_, [this](std::vector<NewsItem> news) {
    news_ = std::move(news);
    for (std::size_t i = 0; i < news_.size() && i < kNewsSlots; ++i) {
      if (news_buttons_[i] != nullptr) news_buttons_[i]->SetText(news_[i].title);
      if (news_dates_[i] != nullptr) news_dates_[i]->SetText(news_[i].add_date);
    }
  });
}

LRESULT CLoginDlg::OnHitTest(POINT screen) const {
  const RECT window = WindowSystem::Get().WindowRect(hwnd_);
  const POINT pt{screen.x - window.left, screen.y - window.top};
  if (pt.x >= kFixedClientArea.left && pt.x <= kFixedClientArea.right && pt.y >= kFixedClientArea.top &&
      pt.y <= kFixedClientArea.bottom) {
    return HTCLIENT;
  }
  const RECT client = WindowSystem::Get().ClientRect(hwnd_);
  const RECT caption = pm_.GetCaptionRect();
  // The caption's bottom is not used: the whole height below its top counts.
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
      pt.y < client.bottom) {
    CControlUI* control = const_cast<CPaintManagerUI&>(pm_).FindControl(pt);
    if (control != nullptr && !IsPlainClickTarget(control)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT CLoginDlg::OnSysCommand(WPARAM command, LPARAM lparam) {
  if ((command & 0xFFF0) == SC_CLOSE) {
    CCheckDlg question;
    if (question.DoModal(hwnd_) == IDOK) ExitProcess(-1);
    return 0;
  }
  return CWindowWnd::HandleMessage(WM_SYSCOMMAND, command, lparam);
}

void CLoginDlg::OnTimer(std::uintptr_t id) {
  // Both timers fire once.
  KillTimer(hwnd_, id);
  if (id == kFillInTimer) {
    FillInRemembered();
  } else if (id == kAutoLoginTimer) {
    // A fresh installation remembers nobody: then the automatic login has nothing to do, and
    // neither the remember option nor an error window may appear by themselves.
    if (ReadRememberedCredentials(services_.settings).account.empty()) return;
    FillInRemembered();
    PerformLogin(true, false);
  }
}

CLoginErrUI* CLoginDlg::error_window() const {
  if (error_window_ == nullptr || !IsWindow(error_window_)) return nullptr;
  return dynamic_cast<CLoginErrUI*>(CWindowWnd::FromHandle(error_window_));
}

bool CLoginDlg::ErrorWindowVisible() const {
  return error_window() != nullptr && WindowSystem::Get().IsVisible(error_window_);
}

void CLoginDlg::OnDestroy() {
  // The error window belongs to this one; it goes with it.
  if (error_window() != nullptr) DestroyWindow(error_window_);
  error_window_ = nullptr;
}

LRESULT CLoginDlg::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) {
  handled = true;
  // While the error window is up the login window ignores the player (and its own timers, which
  // fire again later). Painting and tearing down still happen, so the window neither goes blank
  // behind the error nor leaks when it is destroyed.
  if (msg != WM_PAINT && msg != WM_DESTROY && msg != WM_NCDESTROY && ErrorWindowVisible()) return -1;
  switch (msg) {
    case WM_DESTROY:
      OnDestroy();
      break;
    case WM_NCPAINT:
      return 0;
    case WM_KEYDOWN: {
      // The window itself ignores keys; the edit fields take theirs (Return, Backspace, arrows)
      // and Tab moves between the fields, as native edit controls would.
      auto* focus = dynamic_cast<CEditUI*>(pm_.GetFocus());
      if (wparam != VK_TAB && focus == nullptr) return 0;
      break;
    }
    case WM_TIMER:
      if (wparam == kAutoLoginTimer || wparam == kFillInTimer) {
        OnTimer(wparam);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam, lparam);
    case WM_NCHITTEST:
      return OnHitTest(PointFromLparam(lparam));
    default:
      break;
  }
  handled = false;
  return 0;
}

void CLoginDlg::Notify(TNotifyUI& msg) {
  char line[256];
  std::snprintf(line, sizeof line, ">>>>>>>>>>>>>>>>>>%s<<<<<<<<<<<<\r\n", msg.sType.c_str());
  OutputDebugString(line);
  if (msg.pSender == nullptr) return;
  if (msg.sType == "return") {
    if (dynamic_cast<CEditUI*>(msg.pSender) != nullptr) PerformLogin(false, true);
  } else if (msg.sType == "selectchanged") {
    if (msg.pSender == note_option_) OnNoteChanged();
  } else if (msg.sType == "click") {
    OnClick(msg.pSender);
  }
}

}  // namespace qrv
