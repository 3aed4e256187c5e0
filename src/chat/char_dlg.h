#pragma once
// CCharDlg: the chat window with one customer-service agent, the window of a chat tab of the main
// frame. It holds the history (read-only) and the input, two CRichEditCtrlEx laid over its skin
// window CCharDlgUI ("chatdlg.xml"), and talks through the frame's connection.
//
// Geometry: the skin's design is 1000 x 730. Its top-left corner (the design origin) lies at
// ((right − 1000) / 2, (bottom − 730) / 2), right and bottom being those of the part of the window
// the frame shows (never left of or above the window), the history at (0, 66) and the input at
// (0, 444) from there, 800 x 350 and 800 x 174. The skin window reaches from the origin to the
// shown part's right and bottom edges.
//
// Sending (button "bnsend", or Ctrl+Enter while the input has the keyboard): the input's text with
// emoticon codes is sent as one chat text and shown in the history under "我". A text that does
// not go out stays in the input, for the player to send again, with a notice in the history: one
// longer than a frame carries (65,516 bytes of UTF-8), or one sent while the service is not
// connected.
//
// The history keeps the last kMaxHistoryEntries messages and notices; older ones are dropped from
// its top, so a chat left open for days does not grow without bound.
//
// The window deletes itself with its window; the frame destroys it when its tab closes.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "chat/chat_lines.h"
#include "chat/face_dlg_ui.h"
#include "chat/gm_entry.h"
#include "chat/rich_edit_ex.h"
#include "ui/window_wnd.h"

namespace qrv {

class CGMHelper;
class CCharDlgUI;

class CCharDlg final : public CWindowWnd, public EmoticonInserter {
 public:
  static constexpr int kDesignWidth = 1000;
  static constexpr int kDesignHeight = 730;
  static constexpr RECT kHistoryRect{0, 66, 800, 416};  // from the design origin
  static constexpr RECT kInputRect{0, 444, 800, 618};
  static constexpr int kHistoryId = 1012;
  static constexpr int kInputId = 1013;
  static constexpr char kCaption[] = "正与某GM对话中";
  static constexpr std::uint32_t kBackground = 0x0E1B30;  // behind the skin, as its top band
  static constexpr std::uint32_t kHistoryBackground = 0xF7F9FC;
  static constexpr std::uint32_t kInputBackground = 0xFFFFFF;
  // A click on "bnface" that comes this soon after the picker hid for losing the focus (to that
  // very click) leaves it hidden, so the button closes the picker as it opens it.
  static constexpr std::int64_t kPickerReopenGuardMs = 300;
  static constexpr std::size_t kMaxHistoryEntries = 1000;

  // `connection` may be null (nothing is sent then); `program_dir` ends in "/" (or is empty) and
  // holds "emotions/"; the picture button saves to `saved_picture`.
  CCharDlg(CGMHelper* connection, GMEntry agent, std::string program_dir, std::string saved_picture);
  ~CCharDlg() override;

  // Creates the window as a visible child of `frame` at `placement` (frame client coordinates),
  // titled "正与某GM对话中", and sends the chat start. Null when it cannot be made (the object is
  // gone then).
  HWND Create(HWND frame, const RECT& placement);

  // Appends a header line (the agent's name or "我", two blanks, the time) in the header format
  // and `text`, its emoticon codes shown as pictures, followed by two line feeds.
  void ShowMessage(std::string_view text, ChatMessageKind kind);
  // Sends the input's content (see above).
  void Send();
  // Appends one of the window's own notices (a line of its own, in the notice format).
  void ShowNotice(const std::string& notice);
  // Messages and notices the history holds.
  std::size_t history_entries() const { return entry_lengths_.size(); }
  // Opens the emoticon picker above "bnface", or hides it when it is shown.
  void ToggleFacePicker();
  // Inserts "emotions/<name>.gif" into the input at the caret; the picker hides and the input
  // takes the keyboard.
  void InsertEmoticon(const std::string& name) override;
  // Asks for a picture file and saves it as the chat's PNG (picture_file.h).
  void SavePicture();
  // Hides the picker (the frame hides its pop-ups for the boss key and the screen lock).
  void HidePopups();
  // Places the skin and the text controls again after the frame changed its size.
  void FitToFrame();

  const GMEntry& agent() const { return agent_; }
  std::uint64_t agent_id() const { return agent_.id; }
  CRichEditCtrlEx& history() { return history_; }
  CRichEditCtrlEx& input() { return input_; }
  HWND skin_window() const { return skin_hwnd_; }
  CCharDlgUI* skin() const;
  HWND face_picker() const;
  POINT design_origin() const { return origin_; }

  std::string GetWindowClassName() const override { return "CharDlg"; }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 protected:
  void OnFinalMessage(HWND) override { delete this; }

 private:
  void Layout();
  // Records the entry that ends the history now and started at `start`; drops the oldest entries
  // past kMaxHistoryEntries.
  void EndHistoryEntry(int start);
  void Paint(void* cairo) const;

  CGMHelper* connection_;
  GMEntry agent_;
  std::string program_dir_;
  std::string saved_picture_;
  RECT placement_{};  // the window's rectangle in the frame
  POINT origin_{};
  CCharDlgUI* skin_ = nullptr;
  HWND skin_hwnd_ = nullptr;
  CFaceDlgUI* picker_ = nullptr;
  HWND picker_hwnd_ = nullptr;
  CRichEditCtrlEx history_;
  CRichEditCtrlEx input_;
  std::deque<int> entry_lengths_;  // characters of each entry of the history, oldest first
};

}  // namespace qrv
