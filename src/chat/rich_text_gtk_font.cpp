// The rich text on GTK: the font chooser, a GtkFontChooserDialog answered without a nested loop,
// so the rest of the program runs on while it is open.

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

void OnFontResponse(GtkDialog*, gint response, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->OnFontChosen(response);
}

}  // namespace

void GtkRichText::Impl::ChooseFont() {
  if (view_gone) return;
  if (font_chooser != nullptr) {
    gtk_window_present(GTK_WINDOW(font_chooser));
    return;
  }
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_selection_bounds(buffer, &start, &end);
  if (font_start == nullptr) {
    font_start = gtk_text_buffer_create_mark(buffer, nullptr, &start, TRUE);
    font_end = gtk_text_buffer_create_mark(buffer, nullptr, &end, FALSE);
  } else {
    gtk_text_buffer_move_mark(buffer, font_start, &start);
    gtk_text_buffer_move_mark(buffer, font_end, &end);
  }
  // The font shown first: the selection's, or the control's own when nothing is selected.
  GtkTextAttributes* attributes = gtk_text_view_get_default_attributes(view);
  if (!gtk_text_iter_equal(&start, &end)) gtk_text_iter_get_attributes(&start, attributes);

  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(view));
  font_chooser =
      gtk_font_chooser_dialog_new("选择字体", GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr);
  gtk_window_set_modal(GTK_WINDOW(font_chooser), TRUE);
  if (attributes->font != nullptr)
    gtk_font_chooser_set_font_desc(GTK_FONT_CHOOSER(font_chooser), attributes->font);
  gtk_text_attributes_unref(attributes);
  // Answered without a nested loop: the rest of the program runs on while the dialog is open.
  g_signal_connect(font_chooser, "response", G_CALLBACK(OnFontResponse), this);
  gtk_widget_show(font_chooser);
}

void GtkRichText::Impl::OnFontChosen(int response) {
  GtkWidget* dialog = font_chooser;
  font_chooser = nullptr;
  if (dialog == nullptr) return;
  PangoFontDescription* chosen =
      response == GTK_RESPONSE_OK ? gtk_font_chooser_get_font_desc(GTK_FONT_CHOOSER(dialog)) : nullptr;
  g_signal_handlers_disconnect_by_data(dialog, this);
  gtk_widget_destroy(dialog);
  if (chosen == nullptr) return;
  GtkTextIter start;
  GtkTextIter end;
  gtk_text_buffer_get_iter_at_mark(buffer, &start, font_start);
  gtk_text_buffer_get_iter_at_mark(buffer, &end, font_end);
  if (!gtk_text_iter_equal(&start, &end)) {
    GtkTextTag* tag = gtk_text_buffer_create_tag(buffer, nullptr, "font-desc", chosen, nullptr);
    gtk_text_buffer_apply_tag(buffer, tag, &start, &end);
  } else {
    RichTextFormat format = default_format;
    if (const char* family = pango_font_description_get_family(chosen)) format.face = family;
    if (pango_font_description_get_set_fields(chosen) & PANGO_FONT_MASK_SIZE) {
      const int size = pango_font_description_get_size(chosen) / PANGO_SCALE;
      if (size > 0) format.size_pt = size;
    }
    format.bold = pango_font_description_get_weight(chosen) >= PANGO_WEIGHT_BOLD;
    format.italic = pango_font_description_get_style(chosen) != PANGO_STYLE_NORMAL;
    default_format = format;
    ApplyStyle();
  }
  pango_font_description_free(chosen);
}

}  // namespace qrv
