// The rich text on GTK: the record of the player's edits that undo goes back through. GTK 3's
// text buffer keeps none, so the control notes every insertion and removal the player makes in an
// editable view (removed pictures with their files and codes) and replays them backwards.

#include "chat/rich_text_gtk_impl.h"

namespace qrv {
namespace {

void OnInsertText(GtkTextBuffer*, GtkTextIter* at, gchar* text, gint length, gpointer data) {
  auto* impl = static_cast<GtkRichText::Impl*>(data);
  impl->RecordInsertion(gtk_text_iter_get_offset(at), static_cast<int>(g_utf8_strlen(text, length)), false);
}

void OnInsertAnchor(GtkTextBuffer*, GtkTextIter* at, GtkTextChildAnchor*, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->RecordInsertion(gtk_text_iter_get_offset(at), 1, true);
}

void OnDeleteRange(GtkTextBuffer*, GtkTextIter* start, GtkTextIter* end, gpointer data) {
  static_cast<GtkRichText::Impl*>(data)->RecordRemoval(start, end);
}

}  // namespace

void GtkRichText::Impl::ConnectEditSignals() {
  g_signal_connect(buffer, "insert-text", G_CALLBACK(OnInsertText), this);
  g_signal_connect(buffer, "insert-child-anchor", G_CALLBACK(OnInsertAnchor), this);
  g_signal_connect(buffer, "delete-range", G_CALLBACK(OnDeleteRange), this);
}

void GtkRichText::Impl::RecordInsertion(int offset, int length, bool picture) {
  // Only what the player can change is recorded: the read-only history is written by the window.
  if (replaying || view_gone || !gtk_text_view_get_editable(view) || length <= 0) return;
  if (!picture && !undo.empty()) {
    UndoStep& last = undo.back();
    if (last.inserted && !last.has_picture && last.offset + last.length == offset) {
      last.length += length;  // typing on: one step
      return;
    }
  }
  UndoStep step;
  step.inserted = true;
  step.has_picture = picture;
  step.offset = offset;
  step.length = length;
  undo.push_back(std::move(step));
}

void GtkRichText::Impl::RecordRemoval(const GtkTextIter* start, const GtkTextIter* end) {
  if (replaying || view_gone || !gtk_text_view_get_editable(view)) return;
  UndoStep step;
  step.offset = std::min(gtk_text_iter_get_offset(start), gtk_text_iter_get_offset(end));
  GtkTextIter iter = gtk_text_iter_compare(start, end) <= 0 ? *start : *end;
  const GtkTextIter stop = gtk_text_iter_compare(start, end) <= 0 ? *end : *start;
  GtkTextIter run_start = iter;
  const auto flush_text = [&](const GtkTextIter& upto) {
    if (gtk_text_iter_equal(&run_start, &upto)) return;
    g_autofree gchar* text = gtk_text_buffer_get_text(buffer, &run_start, &upto, TRUE);
    step.removed.push_back(RemovedPiece{text, "", ""});
  };
  while (gtk_text_iter_compare(&iter, &stop) < 0) {
    if (GtkTextChildAnchor* anchor = gtk_text_iter_get_child_anchor(&iter)) {
      flush_text(iter);
      const auto* path = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), kPicturePathKey));
      const auto* code = static_cast<const char*>(g_object_get_data(G_OBJECT(anchor), kPictureCodeKey));
      step.removed.push_back(RemovedPiece{"", path != nullptr ? path : "", code != nullptr ? code : ""});
      gtk_text_iter_forward_char(&iter);
      run_start = iter;
      continue;
    }
    gtk_text_iter_forward_char(&iter);
  }
  flush_text(stop);
  if (!step.removed.empty()) undo.push_back(std::move(step));
}

void GtkRichText::Impl::Undo() {
  if (undo.empty()) return;
  UndoStep step = std::move(undo.back());
  undo.pop_back();
  replaying = true;
  if (step.inserted) {
    GtkTextIter start = IterAt(step.offset);
    GtkTextIter end = IterAt(step.offset + step.length);
    gtk_text_buffer_delete(buffer, &start, &end);
    start = IterAt(step.offset);
    gtk_text_buffer_place_cursor(buffer, &start);
  } else {
    GtkTextIter at = IterAt(step.offset);
    for (const RemovedPiece& piece : step.removed) {
      // Each insertion leaves `at` after what it inserted.
      if (piece.picture.empty()) {
        InsertTextAt(&at, piece.text, nullptr);
      } else if (!InsertPictureAt(&at, piece.picture, piece.code)) {
        continue;  // the picture's file has gone meanwhile
      }
    }
    gtk_text_buffer_place_cursor(buffer, &at);
  }
  replaying = false;
}

}  // namespace qrv
