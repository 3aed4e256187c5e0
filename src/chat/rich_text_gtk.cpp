// The rich text on GTK: what the control does through the RichTextSurface interface, on the
// buffer and view its Impl keeps.

#include "chat/rich_text_gtk.h"

#include "chat/rich_text_gtk_impl.h"

namespace qrv {

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
      const auto* code = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), kPictureCodeKey));
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

int GtkRichText::AnimationDecodes() { return Impl::animation_decodes; }

bool GtkRichText::InsertPicture(const std::string& path, const std::string& code) {
  // The picture is read before anything changes: one that cannot be loaded leaves the text as it
  // was, the selection included.
  GdkPixbufAnimation* animation = impl_->LoadAnimation(path);
  if (animation == nullptr) return false;
  gtk_text_buffer_delete_selection(impl_->buffer, FALSE, TRUE);
  GtkTextIter at;
  gtk_text_buffer_get_iter_at_mark(impl_->buffer, &at, gtk_text_buffer_get_insert(impl_->buffer));
  impl_->InsertAnimationAt(&at, animation, path, code);
  g_object_unref(animation);
  return true;
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
        if (auto impl = static_cast<std::weak_ptr<Impl>*>(data)->lock();
            impl != nullptr && !impl->view_gone) {
          // Only while the focus is still the window's own container (nothing else took it since).
          GtkWidget* host = gtk_widget_get_parent(impl->scrolled);
          GtkWidget* toplevel = gtk_widget_get_toplevel(impl->scrolled);
          if (host != nullptr && GTK_IS_WINDOW(toplevel) &&
              gtk_window_get_focus(GTK_WINDOW(toplevel)) == host)
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
