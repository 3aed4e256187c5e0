#include "ui/render/texts_ahead.h"

#include <pango/pangocairo.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "ui/core/ui_parse.h"
#include "ui/render/text_layout.h"
#include "ui/resources/shown_at_open.h"
#include "ui/resources/skin_archive.h"

namespace qrv::ui {
namespace {

// The texts are drawn on one line into a scratch image of this size: a glyph outside the image
// would be skipped, never drawn, and so not learnt.
constexpr int kScratchWidth = 2048;
constexpr int kScratchHeight = 64;

// What the laying-out thread hands to the UI thread; both keep it alive while they need it.
struct Handover {
  std::mutex mutex;
  std::condition_variable finished_signal;
  bool finished = false;
  PangoFontMap* font_map = nullptr;
  ~Handover() {
    if (font_map != nullptr) g_object_unref(font_map);
  }
};

std::shared_ptr<Handover>& Started() {
  static std::shared_ptr<Handover> handover;
  return handover;
}
// Set by Start (after `starter`) and cleared by the first TakeFontMap on the starting thread:
// TextLayout asks on every layout, on any thread, and mostly finds nothing pending.
std::atomic<bool> pending{false};
std::atomic<std::thread::id> starter;

int FontOf(const pugi::xml_node& element, const std::map<std::string, int>& default_fonts) {
  if (const pugi::xml_attribute font = element.attribute("font")) return ParseInt(font.value(), -1);
  const auto listed = default_fonts.find(element.name());
  return listed != default_fonts.end() ? listed->second : -1;
}

void LayOut(const std::shared_ptr<Handover>& handover, const std::string& archive_path,
            const std::string& layout) {
  PangoFontMap* font_map = pango_cairo_font_map_new();
  pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(font_map));  // this thread's layouts use it
  std::string error;
  TextsAtOpen shown;
  if (auto archive = SkinArchive::OpenZipFile(archive_path, false, &error); archive->IsOpen()) {
    if (auto xml = archive->Read(layout)) shown = TextsShownAtOpen(*xml);
  }
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kScratchWidth, kScratchHeight);
  cairo_t* cr = cairo_create(scratch);
  for (const TextShownAtOpen& text : shown.texts) {
    TextOptions options;
    options.font = text.font;
    options.style = DT_LEFT | DT_TOP | DT_SINGLELINE;
    TextLayout(cr, shown.fonts, text.text, options, RECT{0, 0, kScratchWidth, kScratchHeight})
        .Draw(cr, 0xff000000u);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  pango_cairo_font_map_set_default(nullptr);
  {
    std::lock_guard lock(handover->mutex);
    handover->font_map = font_map;
    handover->finished = true;
  }
  handover->finished_signal.notify_all();
}

}  // namespace

TextsAtOpen TextsShownAtOpen(std::string_view layout) {
  TextsAtOpen shown;
  pugi::xml_document document;
  if (!document.load_buffer(layout.data(), layout.size())) return shown;
  const pugi::xml_node window = document.document_element();
  int next_font_id = 0;
  std::map<std::string, int> default_fonts;
  for (const pugi::xml_node& child : window.children()) {
    if (std::string_view(child.name()) == "Font") {
      const FontElement element = ParseFontElement(
          [&child](const char* name) { return std::string(child.attribute(name).value()); }, next_font_id);
      next_font_id = element.id + 1;
      shown.fonts.Add(element.id, element.font);
      if (element.is_default) shown.fonts.SetDefault(element.font);
    } else if (std::string_view(child.name()) == "Default") {
      for (const auto& [name, value] : SplitAttributeList(child.attribute("value").value())) {
        if (name == "font") default_fonts[child.attribute("name").value()] = ParseInt(value, -1);
      }
    }
  }
  VisitShownAtOpen(window, [&](const pugi::xml_node& element) {
    const char* text = element.attribute("text").value();
    if (*text == '\0' || ParseBool(element.attribute("showhtml").value())) return;
    shown.texts.push_back(TextShownAtOpen{FontOf(element, default_fonts), text});
  });
  return shown;
}

void TextsAhead::Start(const std::string& archive_path, const std::string& layout) {
  auto handover = std::make_shared<Handover>();
  try {
    std::thread(LayOut, handover, archive_path, layout).detach();
  } catch (const std::system_error&) {
    return;  // no thread: the window learns its fonts itself
  }
  Started() = std::move(handover);
  starter = std::this_thread::get_id();
  pending.store(true, std::memory_order_release);
}

void TextsAhead::TakeFontMap() {
  if (!pending.load(std::memory_order_acquire) || std::this_thread::get_id() != starter.load()) return;
  pending.store(false, std::memory_order_relaxed);
  const std::shared_ptr<Handover> handover = std::exchange(Started(), nullptr);
  std::unique_lock lock(handover->mutex);
  handover->finished_signal.wait(lock, [&handover] { return handover->finished; });
  pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(handover->font_map));
}

}  // namespace qrv::ui
