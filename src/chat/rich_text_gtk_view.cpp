// The rich text on GTK: the text view in its scrolled window, its formats (tags, and the default
// format and background as the view's style) and its pictures.

#include <cstdio>
#include <unordered_map>

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

GdkRGBA RgbaOf(std::uint32_t rgb) {
  return GdkRGBA{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1.0};
}

std::string CssColor(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

// A font family as a CSS string: quotes and backslashes escaped, control characters dropped.
std::string CssString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) continue;
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Text for the buffer: valid UTF-8 (GTK refuses anything else), ending at a first zero byte.
std::string BufferText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::string(text);
  g_autofree gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  return valid;
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* impl = static_cast<GtkRichText::Impl*>(data);
  const bool enter = event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
                     event->keyval == GDK_KEY_ISO_Enter;
  if (!enter || (event->state & GDK_CONTROL_MASK) == 0 || !impl->on_ctrl_enter) return FALSE;
  const auto callback = impl->on_ctrl_enter;  // the window may go while it runs
  callback();
  return TRUE;
}

void OnScrolledDestroyed(GtkWidget*, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->view_gone = true;
}

}  // namespace

GtkRichText::Impl::Impl(GtkWidget* host, int width, int height) {
  scrolled = GTK_WIDGET(g_object_ref_sink(gtk_scrolled_window_new(nullptr, nullptr)));
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
  view = GTK_TEXT_VIEW(g_object_ref_sink(gtk_text_view_new()));
  buffer = GTK_TEXT_BUFFER(g_object_ref(gtk_text_view_get_buffer(view)));
  gtk_text_view_set_wrap_mode(view, GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(view, 4);
  gtk_text_view_set_right_margin(view, 4);
  gtk_container_add(GTK_CONTAINER(scrolled), GTK_WIDGET(view));
  css = gtk_css_provider_new();
  gtk_style_context_add_provider(gtk_widget_get_style_context(GTK_WIDGET(view)), GTK_STYLE_PROVIDER(css),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  GtkTextIter end;
  gtk_text_buffer_get_end_iter(buffer, &end);
  end_mark = gtk_text_buffer_create_mark(buffer, nullptr, &end, FALSE);
  ApplyStyle();

  g_signal_connect(view, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(scrolled, "destroy", G_CALLBACK(OnScrolledDestroyed), this);
  ConnectEditSignals();
  ConnectMenuSignals();

  gtk_widget_set_size_request(scrolled, std::max(0, width), std::max(0, height));
  if (GTK_IS_LAYOUT(host)) {
    gtk_layout_put(GTK_LAYOUT(host), scrolled, 0, 0);
  } else if (GTK_IS_CONTAINER(host)) {
    gtk_container_add(GTK_CONTAINER(host), scrolled);
  }
  gtk_widget_show_all(scrolled);
}

GtkRichText::Impl::~Impl() {
  if (font_chooser != nullptr) {
    g_signal_handlers_disconnect_by_data(font_chooser, this);
    gtk_widget_destroy(font_chooser);
  }
  if (menu != nullptr) {
    g_signal_handlers_disconnect_by_data(menu, this);
    gtk_widget_destroy(menu);
  }
  g_signal_handlers_disconnect_by_data(view, this);
  g_signal_handlers_disconnect_by_data(buffer, this);
  g_signal_handlers_disconnect_by_data(scrolled, this);
  gtk_widget_destroy(scrolled);
  g_object_unref(scrolled);
  g_object_unref(view);
  g_object_unref(buffer);
  g_object_unref(css);
}

GtkTextIter GtkRichText::Impl::IterAt(int offset) const {
  GtkTextIter iter;
  gtk_text_buffer_get_iter_at_offset(buffer, &iter, offset);
  return iter;
}

GtkTextTag* GtkRichText::Impl::TagFor(const RichTextFormat& format) {
  char key[512];
  std::snprintf(key, sizeof key, "%d|%06X|%d%d%d%d|%s", format.size_pt, static_cast<unsigned>(format.rgb),
                format.bold, format.italic, format.underline, format.strike, format.face.c_str());
  if (auto it = tags.find(key); it != tags.end()) return it->second;
  const GdkRGBA colour = RgbaOf(format.rgb);
  GtkTextTag* tag = gtk_text_buffer_create_tag(
      buffer, nullptr, "size-points", static_cast<double>(format.size_pt), "foreground-rgba", &colour,
      "weight", format.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL, "style",
      format.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL, "underline",
      format.underline ? PANGO_UNDERLINE_SINGLE : PANGO_UNDERLINE_NONE, "strikethrough", format.strike,
      nullptr);
  if (!format.face.empty()) g_object_set(tag, "family", format.face.c_str(), nullptr);
  tags.emplace(key, tag);
  return tag;
}

void GtkRichText::Impl::InsertTextAt(GtkTextIter* at, std::string_view text, const RichTextFormat* format) {
  const std::string valid = BufferText(text);
  if (valid.empty()) return;
  if (format != nullptr) {
    gtk_text_buffer_insert_with_tags(buffer, at, valid.c_str(), static_cast<gint>(valid.size()),
                                     TagFor(*format), nullptr);
  } else {
    gtk_text_buffer_insert(buffer, at, valid.c_str(), static_cast<gint>(valid.size()));
  }
}

bool GtkRichText::Impl::InsertPictureAt(GtkTextIter* at, const std::string& path, const std::string& code) {
  GdkPixbufAnimation* animation = LoadAnimation(path);
  if (animation == nullptr) return false;
  InsertAnimationAt(at, animation, path, code);
  g_object_unref(animation);
  return true;
}

GdkPixbufAnimation* GtkRichText::Impl::LoadAnimation(const std::string& path) {
  // Each picture file is decoded once for the whole program: a text may carry hundreds of codes
  // of the same few emoticons, and every GtkImage can play the same animation. The cache lives as
  // long as the program (the emoticons are a fixed set of 27 small files), failures included, so
  // a missing file is not tried again for every code either.
  static auto* const cache = new std::unordered_map<std::string, GdkPixbufAnimation*>();
  auto [entry, added] = cache->try_emplace(path, nullptr);
  if (added) {
    GError* error = nullptr;
    entry->second = gdk_pixbuf_animation_new_from_file(path.c_str(), &error);
    g_clear_error(&error);
    ++animation_decodes;
  }
  return entry->second != nullptr ? GDK_PIXBUF_ANIMATION(g_object_ref(entry->second)) : nullptr;
}

void GtkRichText::Impl::InsertAnimationAt(GtkTextIter* at, GdkPixbufAnimation* animation,
                                          const std::string& path, const std::string& code) {
  GtkTextChildAnchor* anchor = gtk_text_buffer_create_child_anchor(buffer, at);
  g_object_set_data_full(G_OBJECT(anchor), kPictureCodeKey, g_strdup(code.c_str()), g_free);
  g_object_set_data_full(G_OBJECT(anchor), kPicturePathKey, g_strdup(path.c_str()), g_free);
  if (view_gone) return;
  GtkWidget* image = gtk_image_new_from_animation(animation);
  gtk_widget_show(image);
  gtk_text_view_add_child_at_anchor(view, image, anchor);
}

void GtkRichText::Impl::ApplyStyle() {
  const RichTextFormat& f = default_format;
  std::string rules = "textview { font-size: " + std::to_string(f.size_pt) +
                      "pt; font-weight: " + (f.bold ? "700" : "400") +
                      "; font-style: " + (f.italic ? "italic" : "normal") + ";";
  if (!f.face.empty()) rules += " font-family: " + CssString(f.face) + ";";
  rules += " }\ntextview text { color: " + CssColor(f.rgb) + "; background-color: " + CssColor(background) +
           "; }\n";
  gtk_css_provider_load_from_data(css, rules.c_str(), -1, nullptr);
}

}  // namespace qrv
