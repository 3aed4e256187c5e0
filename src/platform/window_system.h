#pragma once
// The native side of windows. A window is a MessageTarget with a handle from the message core;
// the WindowSystem gives it a place on screen: position, visibility, title, shape, focus, input.
// The GTK back end makes real toplevel, pop-up and child windows; the headless back end keeps the
// same state in memory so that window logic runs in tests without a display.
//
// Input reaches a window as messages in client coordinates: WM_MOUSEMOVE, WM_LBUTTONDOWN/UP,
// WM_LBUTTONDBLCLK, WM_RBUTTONDOWN/UP, WM_MOUSEWHEEL, WM_KEYDOWN/UP (virtual-key codes below),
// WM_CHAR (a UTF-8 character: wparam holds its Unicode code point), WM_SETFOCUS/WM_KILLFOCUS,
// WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_SYSCOMMAND (the window manager's close request arrives as
// SC_CLOSE), and WM_PAINT with lparam a cairo_t* already clipped to the damaged area. Before a
// left press the system sends WM_NCHITTEST (lparam: screen coordinates); HTCAPTION starts a
// window move instead of a press.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/types.h"

namespace qrv {

// Window styles (the subset the program uses, with the numbers of the Win32 API whose names the
// window code uses).
inline constexpr std::uint32_t WS_OVERLAPPED = 0x00000000;
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
inline constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
inline constexpr std::uint32_t WS_MAXIMIZE = 0x01000000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr std::uint32_t WS_CAPTION = WS_BORDER | WS_DLGFRAME;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// SetWindowPos flags and z-order handles.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;
inline const HWND HWND_TOP = HandleFromId(0);
inline const HWND HWND_TOPMOST = HandleFromId(static_cast<std::uintptr_t>(-1));
inline const HWND HWND_NOTOPMOST = HandleFromId(static_cast<std::uintptr_t>(-2));

// Virtual-key codes.
inline constexpr unsigned VK_BACK = 0x08;
inline constexpr unsigned VK_TAB = 0x09;
inline constexpr unsigned VK_RETURN = 0x0D;
inline constexpr unsigned VK_SHIFT = 0x10;
inline constexpr unsigned VK_CONTROL = 0x11;
inline constexpr unsigned VK_MENU = 0x12;
inline constexpr unsigned VK_ESCAPE = 0x1B;
inline constexpr unsigned VK_SPACE = 0x20;
inline constexpr unsigned VK_END = 0x23;
inline constexpr unsigned VK_HOME = 0x24;
inline constexpr unsigned VK_LEFT = 0x25;
inline constexpr unsigned VK_UP = 0x26;
inline constexpr unsigned VK_RIGHT = 0x27;
inline constexpr unsigned VK_DOWN = 0x28;
inline constexpr unsigned VK_DELETE = 0x2E;
inline constexpr unsigned VK_F1 = 0x70;
inline constexpr unsigned VK_F2 = 0x71;
inline constexpr unsigned VK_F3 = 0x72;
inline constexpr unsigned VK_F4 = 0x73;
inline constexpr unsigned VK_F5 = 0x74;

// Key modifiers in WM_HOTKEY's low word, as the hotkey table stores them.
inline constexpr unsigned MOD_ALT = 0x0001;
inline constexpr unsigned MOD_CONTROL = 0x0002;
inline constexpr unsigned MOD_SHIFT = 0x0004;

// Message box types and answers.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct WindowCreateParams {
  HWND parent = nullptr;
  std::string title;
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  RECT rect;  // screen coordinates for toplevels, parent client coordinates for children
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Installs the back end for the process; the previous one is destroyed.
  static void Install(std::unique_ptr<WindowSystem> system);
  static WindowSystem& Get();
  static bool Installed();

  // Gives the registered window `hwnd` its native window. Visible at once when the style has
  // WS_VISIBLE.
  virtual void Create(HWND hwnd, const WindowCreateParams& params) = 0;
  // Forgets the native window; the message core's DestroyWindow calls this through the window.
  virtual void Destroy(HWND hwnd) = 0;

  virtual void Show(HWND hwnd, int command) = 0;
  virtual bool IsVisible(HWND hwnd) const = 0;
  virtual bool IsMinimized(HWND hwnd) const = 0;
  virtual bool IsMaximized(HWND hwnd) const = 0;
  virtual void SetPos(HWND hwnd, HWND insert_after, int x, int y, int width, int height, UINT flags) = 0;
  virtual RECT WindowRect(HWND hwnd) const = 0;  // screen coordinates
  virtual RECT ClientRect(HWND hwnd) const = 0;  // origin 0,0
  virtual void SetTitle(HWND hwnd, const std::string& title) = 0;
  virtual std::string Title(HWND hwnd) const = 0;
  virtual std::uint32_t Style(HWND hwnd) const = 0;
  virtual void SetStyle(HWND hwnd, std::uint32_t style) = 0;
  virtual bool IsTopmost(HWND hwnd) const = 0;
  virtual HWND Parent(HWND hwnd) const = 0;
  virtual void Enable(HWND hwnd, bool enabled) = 0;

  // Pixels of this colour are see-through, and the whole window has this opacity (0..255).
  virtual void SetLayered(HWND hwnd, std::uint32_t color_key_rgb, std::uint8_t alpha) = 0;
  // Clips the window to a rectangle with rounded corners (0 = square).
  virtual void SetRoundCorners(HWND hwnd, int corner_width, int corner_height) = 0;

  virtual void Invalidate(HWND hwnd, const RECT* area) = 0;
  virtual void SetFocus(HWND hwnd) = 0;
  virtual HWND Focus() const = 0;
  // Whether `hwnd`'s toplevel is the desktop's active window. Without a desktop to ask, the
  // toplevel that holds the program's focus is.
  virtual bool IsActive(HWND hwnd) const {
    HWND top = hwnd;
    while (Parent(top) != nullptr) top = Parent(top);
    for (HWND focus = Focus(); focus != nullptr; focus = Parent(focus)) {
      if (focus == top) return true;
    }
    return false;
  }
  virtual void SetForeground(HWND hwnd) = 0;
  virtual void SetCapture(HWND hwnd) = 0;
  virtual void ReleaseCapture() = 0;
  // Starts a window move by the mouse, as a press on a caption does.
  virtual void BeginMoveDrag(HWND hwnd) = 0;

  // Text input for the toolkit's own edit controls: while enabled, typed text (input methods
  // included) arrives as WM_CHAR, one Unicode code point each; `caret` (client coordinates) is
  // where the input method places its candidate window. Password edits turn input methods off.
  virtual void SetTextInput(HWND hwnd, bool enabled, bool password, RECT caret) = 0;

  virtual POINT CursorPos() const = 0;
  // The primary monitor's work area (without panels and docks) and whole rectangle.
  virtual RECT WorkArea() const = 0;
  virtual RECT ScreenRect() const = 0;
  // The work area of the monitor that shows most of `rect`, or of the monitor nearest to it when
  // it lies off every monitor.
  virtual RECT WorkAreaAt(const RECT& rect) const = 0;

  // Runs a nested loop until EndModal(hwnd) while other toplevels ignore input; returns the code.
  virtual int RunModal(HWND hwnd) = 0;
  virtual void EndModal(HWND hwnd, int result) = 0;

  // A modal Yes/No (or OK) question; returns IDYES, IDNO or IDOK.
  virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;

  // The native object behind `hwnd` (GtkWidget* on the GTK back end, null headless), for native
  // children such as the browser view and text entries.
  virtual void* NativeHandle(HWND hwnd) const = 0;
};

// Convenience wrappers in the shape window code is written in.
inline bool ShowWindow(HWND hwnd, int command) {
  WindowSystem::Get().Show(hwnd, command);
  return true;
}
inline bool IsWindowVisible(HWND hwnd) { return WindowSystem::Get().IsVisible(hwnd); }
inline bool SetWindowPos(HWND hwnd, HWND after, int x, int y, int w, int h, UINT flags) {
  WindowSystem::Get().SetPos(hwnd, after, x, y, w, h, flags);
  return true;
}
inline RECT GetWindowRect(HWND hwnd) { return WindowSystem::Get().WindowRect(hwnd); }
inline RECT GetClientRect(HWND hwnd) { return WindowSystem::Get().ClientRect(hwnd); }
inline int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  return WindowSystem::Get().MessageBox(owner, text, caption, type);
}

}  // namespace qrv
