#pragma once
// The automation interface's commands: one JSON object in, one JSON object out, without sockets.
//
// A request is {"cmd":"...", ...}; the answer is {"ok":true, ...} or {"ok":false,"error":"..."}.
// Commands: ping, windows, controls, control, click, settext, key, type, select, notify, command,
// close. A window is named by "hwnd", "class" or "title" (see automation_inspect.h).
//
// "windows" lists for each window its hwnd, class, title, visibility, whether it has controls and
// its screen rectangle, and "text" where a window has one: the question of a message box, or what
// a window answers to WM_GETTEXT (the chat's text controls, class "RichEdit20A", give their text
// with emoticon codes). "type" sends WM_CHAR per character to a window, which is how text reaches
// such a control. A list control ("control" or "controls") also lists its "rows", each with its
// text, visibility and rectangle (client coordinates), since rows have no names.
//
// Commands that act on the program are split in two: checking the request and composing the
// answer, then the action itself. The server sends the answer before it runs the action, because
// an action may run a modal loop (a click that opens a dialog, a notification that asks a
// question) which only ends when the client sends its next command; the client must not be left
// waiting for the answer of the click that opened it.

#include <functional>
#include <string>

#include "platform/types.h"

namespace qrv {

struct PreparedCommand {
  // The answer line, without its newline.
  std::string answer;
  // What the command does; empty for commands that only read. It checks again that its window
  // and control still exist, since other events may run between the answer and the action.
  std::function<void()> action;
};

// Checks `json_line` and composes its answer. Never throws; bad input gives an ok:false answer.
PreparedCommand PrepareCommand(const std::string& json_line);

// Where "windows" finds the text of windows that are not toolkit windows (the question of a
// message box): only the window system back end knows it. Listed as "text" when not empty.
void SetWindowTextSource(std::function<std::string(HWND)> source);

// Runs a command to its end: the action (if any) runs before this returns the answer.
std::string HandleCommand(const std::string& json_line);

}  // namespace qrv
