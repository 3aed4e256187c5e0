#pragma once
// Windows without a display: the state a window system would keep (rectangles, visibility, title,
// style, focus, z-order flags) held in memory. Modal dialogs and message boxes are answered by a
// responder that the test installs, standing in for the player.

#include <functional>
#include <map>

#include "platform/window_system.h"

namespace qrv {

class HeadlessWindows final : public WindowSystem {
 public:
  struct State {
    WindowCreateParams params;
    RECT rect;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool topmost = false;
    bool enabled = true;
    std::uint32_t style = 0;
    std::uint32_t color_key = 0;
    std::uint8_t alpha = 255;
    bool layered = false;
    int corner_width = 0;
    int corner_height = 0;
    int invalidations = 0;
  };

  // Installs headless windows for the process and returns them (owned by WindowSystem).
  static HeadlessWindows& Install();

  // Answers RunModal: called with the dialog's handle once it is shown; it may click controls
  // (which end the dialog) or return the result directly. Without one, RunModal returns -1.
  using ModalResponder = std::function<int(HWND)>;
  void SetModalResponder(ModalResponder responder) { modal_responder_ = std::move(responder); }
  using MessageBoxResponder = std::function<int(const std::string& text, const std::string& caption)>;
  void SetMessageBoxResponder(MessageBoxResponder responder) {
    message_box_responder_ = std::move(responder);
  }

  void set_work_area(RECT area) { work_area_ = area; }
  void set_screen(RECT screen) { screen_ = screen; }
  void set_cursor(POINT p) { cursor_ = p; }
  const State* StateOf(HWND hwnd) const;

  void Create(HWND hwnd, const WindowCreateParams& params) override;
  void Destroy(HWND hwnd) override;
  void Show(HWND hwnd, int command) override;
  bool IsVisible(HWND hwnd) const override;
  bool IsMinimized(HWND hwnd) const override;
  bool IsMaximized(HWND hwnd) const override;
  void SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags) override;
  RECT WindowRect(HWND hwnd) const override;
  RECT ClientRect(HWND hwnd) const override;
  void SetTitle(HWND hwnd, const std::string& title) override;
  std::string Title(HWND hwnd) const override;
  std::uint32_t Style(HWND hwnd) const override;
  void SetStyle(HWND hwnd, std::uint32_t style) override;
  bool IsTopmost(HWND hwnd) const override;
  HWND Parent(HWND hwnd) const override;
  void Enable(HWND hwnd, bool enabled) override;
  void SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) override;
  void SetRoundCorners(HWND hwnd, int corner_width, int corner_height) override;
  void Invalidate(HWND hwnd, const RECT* area) override;
  void SetFocus(HWND hwnd) override;
  HWND Focus() const override { return focus_; }
  void SetForeground(HWND hwnd) override;
  void SetCapture(HWND hwnd) override { capture_ = hwnd; }
  void ReleaseCapture() override { capture_ = nullptr; }
  void BeginMoveDrag(HWND hwnd) override;
  void SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) override;
  struct TextInput {
    HWND hwnd = nullptr;
    bool enabled = false;
    bool password = false;
    RECT caret;
  };
  const TextInput& text_input() const { return text_input_; }
  POINT CursorPos() const override { return cursor_; }
  RECT WorkArea() const override { return work_area_; }
  RECT ScreenRect() const override { return screen_; }
  RECT WorkAreaAt(const RECT&) const override { return work_area_; }
  int RunModal(HWND hwnd) override;
  void EndModal(HWND hwnd, int result) override;
  int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
  void* NativeHandle(HWND) const override { return nullptr; }

  int move_drags() const { return move_drags_; }

 private:
  HeadlessWindows() = default;
  State* Find(HWND hwnd);

  std::map<HWND, State> windows_;
  HWND focus_ = nullptr;
  HWND capture_ = nullptr;
  POINT cursor_;
  RECT work_area_{0, 0, 1600, 960};
  RECT screen_{0, 0, 1600, 1000};
  ModalResponder modal_responder_;
  MessageBoxResponder message_box_responder_;
  std::map<HWND, int> modal_results_;
  int move_drags_ = 0;
  TextInput text_input_;
};

}  // namespace qrv
