// The rich text on GTK: the text view, its formats and its pictures.

#include "chat/rich_text_gtk.h"

#include <cstdio>

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

constexpr char kCodeKey[] = "qrv-code";
constexpr char kPathKey[] = "qrv-path";

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

void OnScrolledDestroyed(GtkWidget*, gpointer data) { static_cast<GtkRichText::Impl*>(data)->view_gone = true; }

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
      buffer, nullptr, "size-points", static_cast<double>(format.size_pt), "foreground-rgba", &colour, "weight",
      format.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL, "style",
      format.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL, "underline",
      format.underline ? PANGO_UNDERLINE_SINGLE : PANGO_UNDERLINE_NONE, "strikethrough", format.strike, nullptr);
  if (!format.face.empty()) g_object_set(tag, "family", format.face.c_str(), nullptr);
  tags.emplace(key, tag);
  return tag;
}

void GtkRichText::Impl::InsertTextAt(GtkTextIter* at, std::string_view text, const RichTextFormat* format) {
  const std::string valid = BufferText(text);
  if (valid.empty()) return;
  if (format != nullptr) {
    gtk_text_buffer_insert_with_tags(buffer, at, valid.c_str(), static_cast<gint>(valid.size()), TagFor(*format),
                                     nullptr);
  } else {
    gtk_text_buffer_insert(buffer, at, valid.c_str(), static_cast<gint>(valid.size()));
  }
}

bool GtkRichText::Impl::InsertPictureAt(GtkTextIter* at, const std::string& path, const std::string& code) {
  GError* error = nullptr;
  GdkPixbufAnimation* animation = gdk_pixbuf_animation_new_from_file(path.c_str(), &error);
  if (animation == nullptr) {
    g_clear_error(&error);
    return false;
  }
  GtkTextChildAnchor* anchor = gtk_text_buffer_create_child_anchor(buffer, at);
  g_object_set_data_full(G_OBJECT(anchor), kCodeKey, g_strdup(code.c_str()), g_free);
  g_object_set_data_full(G_OBJECT(anchor), kPathKey, g_strdup(path.c_str()), g_free);
  if (!view_gone) {
    GtkWidget* image = gtk_image_new_from_animation(animation);
    gtk_widget_show(image);
    gtk_text_view_add_child_at_anchor(view, image, anchor);
  }
  g_object_unref(animation);
  return true;
}

void GtkRichText::Impl::ApplyStyle() {
  const RichTextFormat& f = default_format;
  std::string rules = "textview { font-size: " + std::to_string(f.size_pt) + "pt; font-weight: " +
                      (f.bold ? "700" : "400") + "; font-style: " + (f.italic ? "italic" : "normal") + ";";
  if (!f.face.empty()) rules += " font-family: " + CssString(f.face) + ";";
  rules += " }\ntextview text { color: " + CssColor(f.rgb) + "; background-color: " + CssColor(background) + "; }\n";
  gtk_css_provider_load_from_data(css, rules.c_str(), -1, nullptr);
}

// --- The facade -----------------------------------------------------------------------------------

GtkRichText::GtkRichText(GtkWidget* host, int width, int height)
    : impl_(std::make_shared<Impl>(host, width, height)) {
  impl_->self = impl_;
}

GtkRichText::~GtkRichText() = default;

std::string GtkRichText::Text() const {
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_bounds(impl_->buffer, &start, &end);
  g_autofree gchar* text = gtk_text_buffer_get_slice(impl_->buffer, &start, &end, TRUE);
  return text;
}

int GtkRichText::CharCount() const { return gtk_text_buffer_get_char_count(impl_->buffer); }

std::vector<PictureRecord> GtkRichText::Pictures() const {
  std::vector<PictureRecord> records;
  GtkTextIter iter;
  gtk_text_buffer_get_start_iter(impl_->buffer, &iter);
  // Pictures stand as U+FFFC, so only those characters need a look.
  const auto is_placeholder = [](gunichar c, gpointer) -> gboolean { return c == 0xFFFC; };
  do {
    if (gtk_text_iter_get_char(&iter) != 0xFFFC) continue;
    if (GtkTextChildAnchor* anchor = gtk_text_iter_get_child_anchor(&iter)) {
      const auto* code = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), kCodeKey));
      records.push_back(PictureRecord{gtk_text_iter_get_offset(&iter) + 1, code != nullptr ? code : ""});
    }
  } while (gtk_text_iter_forward_find_char(&iter, is_placeholder, nullptr, nullptr));
  return records;
}

void GtkRichText::InsertText(std::string_view text, const RichTextFormat* format) {
  gtk_text_buffer_delete_selection(impl_->buffer, FALSE, TRUE);
  GtkTextIter at;
  gtk_text_buffer_get_iter_at_mark(impl_->buffer, &at, gtk_text_buffer_get_insert(impl_->buffer));
  impl_->InsertTextAt(&at, text, format);
}

bool GtkRichText::InsertPicture(const std::string& path, const std::string& code) {
  // The file is read before anything changes: a picture that cannot be loaded leaves the text
  // as it was.
  if (!g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR)) return false;
  GtkTextIter at;
  gtk_text_buffer_get_iter_at_mark(impl_->buffer, &at, gtk_text_buffer_get_insert(impl_->buffer));
  GtkTextIter bound;
  gtk_text_buffer_get_iter_at_mark(impl_->buffer, &bound, gtk_text_buffer_get_selection_bound(impl_->buffer));
  if (!gtk_text_iter_equal(&at, &bound)) {
    GError* error = nullptr;
    GdkPixbufAnimation* probe = gdk_pixbuf_animation_new_from_file(path.c_str(), &error);
    if (probe == nullptr) {
      g_clear_error(&error);
      return false;
    }
    g_object_unref(probe);
    gtk_text_buffer_delete_selection(impl_->buffer, FALSE, TRUE);
    gtk_text_buffer_get_iter_at_mark(impl_->buffer, &at, gtk_text_buffer_get_insert(impl_->buffer));
  }
  return impl_->InsertPictureAt(&at, path, code);
}

int GtkRichText::Caret() const {
  GtkTextIter at;
  gtk_text_buffer_get_iter_at_mark(impl_->buffer, &at, gtk_text_buffer_get_insert(impl_->buffer));
  return gtk_text_iter_get_offset(&at);
}

void GtkRichText::SetCaret(int position) {
  const GtkTextIter at = impl_->IterAt(position);
  gtk_text_buffer_place_cursor(impl_->buffer, &at);
}

std::pair<int, int> GtkRichText::Selection() const {
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_selection_bounds(impl_->buffer, &start, &end);
  return {gtk_text_iter_get_offset(&start), gtk_text_iter_get_offset(&end)};
}

void GtkRichText::Select(int start, int end) {
  const GtkTextIter bound = impl_->IterAt(start);
  const GtkTextIter insert = impl_->IterAt(end < 0 ? CharCount() : end);
  gtk_text_buffer_select_range(impl_->buffer, &insert, &bound);
}

void GtkRichText::DeleteSelection() { gtk_text_buffer_delete_selection(impl_->buffer, FALSE, TRUE); }

void GtkRichText::SetDefaultFormat(const RichTextFormat& format) {
  impl_->default_format = format;
  impl_->ApplyStyle();
}

void GtkRichText::SetReadOnly(bool read_only) {
  if (impl_->view_gone) return;
  gtk_text_view_set_editable(impl_->view, !read_only);
  gtk_text_view_set_cursor_visible(impl_->view, !read_only);
}

bool GtkRichText::ReadOnly() const { return !gtk_text_view_get_editable(impl_->view); }

void GtkRichText::SetBackground(std::uint32_t rgb) {
  impl_->background = rgb;
  impl_->ApplyStyle();
}

void GtkRichText::ScrollToEnd() {
  if (impl_->view_gone) return;
  GtkTextIter end;
  gtk_text_buffer_get_end_iter(impl_->buffer, &end);
  gtk_text_buffer_move_mark(impl_->buffer, impl_->end_mark, &end);
  // Scrolling waits for the view's layout of the new text when it is not done yet.
  gtk_text_view_scroll_to_mark(impl_->view, impl_->end_mark, 0.0, TRUE, 0.0, 1.0);
}

void GtkRichText::Resize(int width, int height) {
  if (impl_->view_gone) return;
  gtk_widget_set_size_request(impl_->scrolled, std::max(0, width), std::max(0, height));
}

void GtkRichText::TakeFocus() {
  if (impl_->view_gone) return;
  gtk_widget_grab_focus(GTK_WIDGET(impl_->view));
  // The window system gives the control's window the focus after telling it so: the view takes
  // it back once that is done, so that it gets the keys.
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        if (auto impl = static_cast<std::weak_ptr<Impl>*>(data)->lock(); impl != nullptr && !impl->view_gone) {
          // Only while the focus is still the window's own container (nothing else took it since).
          GtkWidget* host = gtk_widget_get_parent(impl->scrolled);
          GtkWidget* toplevel = gtk_widget_get_toplevel(impl->scrolled);
          if (host != nullptr && GTK_IS_WINDOW(toplevel) && gtk_window_get_focus(GTK_WINDOW(toplevel)) == host)
            gtk_widget_grab_focus(GTK_WIDGET(impl->view));
        }
        return G_SOURCE_REMOVE;
      },
      new std::weak_ptr<Impl>(impl_), [](gpointer data) { delete static_cast<std::weak_ptr<Impl>*>(data); });
}

void GtkRichText::SetOnCtrlEnter(std::function<void()> on_ctrl_enter) {
  impl_->on_ctrl_enter = std::move(on_ctrl_enter);
}

void GtkRichText::SetOnPress(std::function<void()> on_press) { impl_->on_press = std::move(on_press); }

void GtkRichText::ShowContextMenu(const GdkEvent* trigger) { impl_->ShowContextMenu(trigger); }
GtkWidget* GtkRichText::BuildContextMenu(bool can_paste) { return impl_->BuildContextMenu(can_paste); }
bool GtkRichText::CommandEnabled(int command, bool can_paste) const {
  return impl_->CommandEnabled(command, can_paste);
}
void GtkRichText::RunCommand(int command) { impl_->RunCommand(command); }
bool GtkRichText::CanUndo() const { return !impl_->undo.empty(); }
void GtkRichText::Undo() { impl_->Undo(); }
void GtkRichText::ChooseFont() { impl_->ChooseFont(); }
GtkTextView* GtkRichText::view() const { return impl_->view; }
GtkTextBuffer* GtkRichText::buffer() const { return impl_->buffer; }
GtkWidget* GtkRichText::context_menu() const { return impl_->menu; }
GtkWidget* GtkRichText::font_chooser() const { return impl_->font_chooser; }
const RichTextFormat& GtkRichText::default_format() const { return impl_->default_format; }

}  // namespace qrv
