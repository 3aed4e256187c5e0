#pragma once
// The login window: the program's first window. This part holds its shape, its layout and its
// window behaviour; logging in and the two faces build on it.

#include <memory>

#include "app/app_services.h"
#include "browser/browser_view.h"
#include "ui/ui.h"

namespace qrv {

class CTabLayoutUI;

class CLoginDlg final : public CWindowWnd, public INotifyUI {
 public:
  explicit CLoginDlg(AppServices& services) : services_(services) {}

  std::string GetWindowClassName() const override { return "UILogIn"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void Notify(TNotifyUI& msg) override;

  CPaintManagerUI& paint_manager() { return pm_; }
  bool logged_in() const { return logged_in_; }

  // The client rectangle that always answers HTCLIENT: the account and password fields.
  static constexpr RECT kFixedClientArea{234, 217, 389, 294};

 protected:
  void OnFinalMessage(HWND) override { delete this; }

 private:
  LRESULT OnCreate();
  LRESULT OnHitTest(POINT screen) const;
  LRESULT OnSysCommand(WPARAM command, LPARAM lparam);
  // Opens a page of the platform in the system's browser through the hidden browser view, and
  // sends the button's statistics event (when it has one) whether or not the view exists.
  void OpenPage(const std::string& address, const char* event_code);
  bool OnPageButton(const std::string& name);

  AppServices& services_;
  CPaintManagerUI pm_;
  CTabLayoutUI* switch_ = nullptr;
  std::unique_ptr<CMyHtmlView> browser_;
  bool logged_in_ = false;
};

}  // namespace qrv
