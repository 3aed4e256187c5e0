#include "ui_test_support.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/message_core.h"
#include "ui/resources/skin_archive.h"

namespace qrv::testing {

std::filesystem::path OutputDir() {
  const char* binary = std::getenv("QRV_BINARY_DIR");
  // Run by hand, the folder of the test program stands in for the build folder.
  std::filesystem::path dir = binary != nullptr
                                  ? std::filesystem::path(binary)
                                  : std::filesystem::read_symlink("/proc/self/exe").parent_path();
  dir /= "test_output/ui";
  std::filesystem::create_directories(dir);
  return dir;
}

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string MakePng(int width, int height, const std::function<std::uint32_t(int, int)>& paint) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = paint(x, y);
      const std::uint32_t a = c >> 24;
      const std::uint32_t r = ((c >> 16) & 0xff) * a / 255;
      const std::uint32_t g = ((c >> 8) & 0xff) * a / 255;
      const std::uint32_t b = (c & 0xff) * a / 255;
      row[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(surface);
  std::string png;
  cairo_surface_write_to_png_stream(surface, AppendBytes, &png);
  cairo_surface_destroy(surface);
  return png;
}

std::string SolidPng(int width, int height, std::uint32_t argb) {
  return MakePng(width, height, [argb](int, int) { return argb; });
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& files) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, bytes] : files) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    ASSERT_NE(source, nullptr);
    ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

std::uint32_t PixelAt(cairo_surface_t* surface, int x, int y) {
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(data + y * stride)[x];
  const std::uint32_t a = p >> 24;
  if (a == 0 || a == 255) return p;
  auto un = [a](std::uint32_t v) { return std::min<std::uint32_t>(255, v * 255 / a); };
  return (a << 24) | (un((p >> 16) & 0xff) << 16) | (un((p >> 8) & 0xff) << 8) | un(p & 0xff);
}

void UiTest::SetUp() {
  loop_ = &HeadlessLoop::Install();
  windows_ = &HeadlessWindows::Install();
}

void UiTest::TearDown() {
  // Windows left open by a test are closed while the loop still exists.
  for (HWND hwnd : AllWindows()) DestroyWindow(hwnd);
  MessageCore::Uninstall();
  ui::SkinResources::SetArchive(nullptr);
  ui::SkinResources::ClearFiles();
}

LRESULT LayoutWindow::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CREATE) {
    pm.Init(hwnd_);
    CDialogBuilder builder;
    CControlUI* root = builder.Create(xml_, callback_, &pm);
    pm.AttachDialog(root);
    pm.AddNotifier(this);
    return 0;
  }
  LRESULT result = 0;
  if (pm.MessageHandler(msg, wparam, lparam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wparam, lparam);
}

void LayoutWindow::Notify(TNotifyUI& msg) {
  notes.push_back(msg);
  // A copy runs: the handler may delete this window, and the stored one with it.
  if (auto handler = on_notify) handler(msg);
}

HWND LayoutWindow::Open(int width, int height) {
  return Create(nullptr, "test", WS_POPUP | WS_VISIBLE, 0, 100, 100, width, height);
}

std::vector<std::string> LayoutWindow::Log() const {
  std::vector<std::string> log;
  for (const auto& note : notes)
    log.push_back(note.sType + ":" + (note.pSender ? note.pSender->GetName() : "?"));
  return log;
}

std::vector<std::string> LayoutWindow::LogOf(const std::string& type) const {
  std::vector<std::string> log;
  for (const auto& note : notes) {
    if (note.sType == type) log.push_back(note.pSender ? note.pSender->GetName() : "?");
  }
  return log;
}

void LayoutWindow::OnFinalMessage(HWND) {
  final_message = true;
  if (delete_on_final) delete this;
}

namespace {

LPARAM At(int x, int y) {
  return MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(x)),
                    static_cast<std::uint16_t>(static_cast<std::int16_t>(y)));
}

}  // namespace

void MoveMouse(HWND hwnd, int x, int y) { SendMessage(hwnd, WM_MOUSEMOVE, 0, At(x, y)); }

void Press(HWND hwnd, int x, int y) {
  MoveMouse(hwnd, x, y);
  SendMessage(hwnd, WM_LBUTTONDOWN, 0, At(x, y));
}

void Release(HWND hwnd, int x, int y) { SendMessage(hwnd, WM_LBUTTONUP, 0, At(x, y)); }

void Click(HWND hwnd, int x, int y) {
  Press(hwnd, x, y);
  Release(hwnd, x, y);
}

void DoubleClick(HWND hwnd, int x, int y) {
  Click(hwnd, x, y);
  SendMessage(hwnd, WM_LBUTTONDBLCLK, 0, At(x, y));
  Release(hwnd, x, y);
}

void Wheel(HWND hwnd, int x, int y, int delta) {
  SendMessage(hwnd, WM_MOUSEWHEEL,
              static_cast<WPARAM>(static_cast<std::uint16_t>(static_cast<std::int16_t>(delta))) << 16,
              At(x, y));
}

void Key(HWND hwnd, unsigned vk) {
  SendMessage(hwnd, WM_KEYDOWN, vk, 0);
  SendMessage(hwnd, WM_KEYUP, vk, 0);
}

void Type(HWND hwnd, const std::u32string& text) {
  for (char32_t c : text) SendMessage(hwnd, WM_CHAR, static_cast<WPARAM>(c), 0);
}

POINT CenterOf(CControlUI* control) {
  const RECT& rc = control->GetPos();
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void ClickControl(HWND hwnd, CControlUI* control) {
  const POINT p = CenterOf(control);
  Click(hwnd, p.x, p.y);
}

}  // namespace qrv::testing
