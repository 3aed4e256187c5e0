#pragma once
// What GtkRichText keeps, shared by its source files (not a public header).

#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chat/rich_text_gtk.h"

namespace qrv {

// What each picture's anchor carries.
inline constexpr char kPictureCodeKey[] = "qrv-code";
inline constexpr char kPicturePathKey[] = "qrv-path";

// One piece of removed content, kept so that an undo can put it back.
struct RemovedPiece {
  std::string text;     // a run of text, or empty for a picture
  std::string picture;  // the picture's file
  std::string code;     // the picture's code
};

// One edit of the player's: an insertion of `length` characters at `offset`, or a removal there
// of `removed`.
struct UndoStep {
  bool inserted = false;
  bool has_picture = false;
  int offset = 0;
  int length = 0;
  std::vector<RemovedPiece> removed;
};

struct GtkRichText::Impl {
  Impl(GtkWidget* host, int width, int height);
  ~Impl();

  // --- Content (rich_text_gtk.cpp) --------------------------------------------------------------
  GtkTextTag* TagFor(const RichTextFormat& format);
  void InsertTextAt(GtkTextIter* at, std::string_view text, const RichTextFormat* format);
  // Inserts the picture of `path` at `at` (which ends up after it); false when it cannot be loaded.
  bool InsertPictureAt(GtkTextIter* at, const std::string& path, const std::string& code);
  // A new reference to the decoded picture of `path` (decoded on first use); null when unreadable.
  static GdkPixbufAnimation* LoadAnimation(const std::string& path);
  static inline int animation_decodes = 0;
  void InsertAnimationAt(GtkTextIter* at, GdkPixbufAnimation* animation, const std::string& path,
                         const std::string& code);
  void ApplyStyle();
  GtkTextIter IterAt(int offset) const;

  // --- The context menu (rich_text_gtk_menu.cpp) -----------------------------------------------
  void ConnectMenuSignals();
  void ShowContextMenu(const GdkEvent* trigger);
  GtkWidget* BuildContextMenu(bool can_paste);
  bool CommandEnabled(int command, bool can_paste) const;
  void RunCommand(int command);

  // --- Undo (rich_text_gtk_undo.cpp) ------------------------------------------------------------
  void ConnectEditSignals();
  void RecordInsertion(int offset, int length, bool picture);
  void RecordRemoval(const GtkTextIter* start, const GtkTextIter* end);
  void Undo();

  // --- The font (rich_text_gtk_font.cpp) --------------------------------------------------------
  void ChooseFont();
  void OnFontChosen(int response);

  GtkWidget* scrolled = nullptr;
  GtkTextView* view = nullptr;
  GtkTextBuffer* buffer = nullptr;
  GtkCssProvider* css = nullptr;
  GtkTextMark* end_mark = nullptr;
  bool view_gone = false;  // the view was destroyed with its window; the buffer is still ours

  RichTextFormat default_format;
  std::uint32_t background = 0xFFFFFF;
  std::function<void()> on_ctrl_enter;
  std::function<void()> on_press;
  std::map<std::string, GtkTextTag*> tags;  // owned by the buffer's tag table

  GtkWidget* menu = nullptr;
  GtkWidget* font_chooser = nullptr;
  GtkTextMark* font_start = nullptr;  // the selection the font chooser was opened for
  GtkTextMark* font_end = nullptr;
  std::vector<UndoStep> undo;
  bool replaying = false;  // an undo is being applied: not itself recorded
  std::weak_ptr<Impl> self;
};

}  // namespace qrv
