// Modal windows and message boxes. Both run a nested GMainLoop on the default context, so posted
// messages, timers and painting go on underneath, while every other toplevel of the program is
// disabled (it ignores input) until the modal window ends. The quit message ends every nested
// loop too, so that a program asked to end never stays inside a question.

#include "platform/gtk/gtk_loop.h"
#include "platform/gtk/gtk_windows.h"
#include "platform/gtk/native_window.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

// The message core's side of a message box: automation answers it with WM_COMMAND.
class MessageBoxTarget final : public MessageTarget {
 public:
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM) override {
    GtkWindows* system = GtkWindows::Current();
    if (system == nullptr) return 0;
    if (msg == kWmCommand && (wparam == IDYES || wparam == IDNO || wparam == IDOK)) {
      system->EndMessageBox(hwnd, static_cast<int>(wparam));
      return 0;
    }
    if (msg == WM_CLOSE) {
      system->EndMessageBox(hwnd, (type & MB_YESNO) != 0 ? IDNO : IDOK);
      return 0;
    }
    return 0;
  }
  HWND hwnd = nullptr;
  UINT type = 0;
};

void OnMessageBoxResponse(GtkDialog*, gint response, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  int result = (window->box_type & MB_YESNO) != 0 ? IDNO : IDOK;
  if (response == GTK_RESPONSE_YES) result = IDYES;
  if (response == GTK_RESPONSE_NO) result = IDNO;
  if (response == GTK_RESPONSE_OK) result = IDOK;
  window->system->EndMessageBox(window->hwnd, result);
}

gboolean OnMessageBoxConfigure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  auto* window = static_cast<NativeWindow*>(data);
  window->system->OnConfigure(window, event);
  return FALSE;
}

}  // namespace

std::vector<HWND> GtkWindows::DisableOtherToplevels(HWND except) {
  std::vector<HWND> disabled;
  for (const auto& [hwnd, window] : windows_) {
    if (!window->is_child && hwnd != except && window->enabled && window->kind == NativeKind::kToolkit) {
      disabled.push_back(hwnd);
    }
  }
  for (HWND hwnd : disabled) Enable(hwnd, false);
  return disabled;
}

int GtkWindows::RunNestedFor(HWND hwnd, int result_when_cut_short) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->modal != nullptr) return result_when_cut_short;
  ModalRun run;
  run.result = result_when_cut_short;
  run.loop = g_main_loop_new(nullptr, FALSE);
  window->modal = &run;
  if (GtkLoop* loop = GtkLoop::Current(); loop != nullptr) {
    loop->RunNested(run.loop);
  } else if (!MessageCore::QuitRequested()) {
    g_main_loop_run(run.loop);
  }
  g_main_loop_unref(run.loop);
  if (NativeWindow* still = Find(hwnd); still != nullptr && still->modal == &run) still->modal = nullptr;
  return run.ended ? run.result : result_when_cut_short;
}

int GtkWindows::RunModal(HWND hwnd) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->modal != nullptr) return -1;
  const std::vector<HWND> disabled = DisableOtherToplevels(hwnd);
  if (!window->visible) Show(hwnd, SW_SHOWNORMAL);
  if (NativeWindow* top = TopOf(Find(hwnd)); top != nullptr && top->window != nullptr) RequestActivation(top);
  const int result = RunNestedFor(hwnd, -1);
  for (HWND other : disabled) Enable(other, true);
  return result;
}

void GtkWindows::EndModal(HWND hwnd, int result) {
  NativeWindow* window = Find(hwnd);
  if (window == nullptr || window->modal == nullptr || window->modal->ended) return;
  window->modal->ended = true;
  window->modal->result = result;
  g_main_loop_quit(window->modal->loop);
}

void GtkWindows::EndMessageBox(HWND hwnd, int result) { EndModal(hwnd, result); }

int GtkWindows::MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  const bool yes_no = (type & MB_YESNO) != 0;
  const int cut_short = yes_no ? IDNO : IDOK;
  if (MessageCore::QuitRequested()) return cut_short;

  auto target = std::make_unique<MessageBoxTarget>();
  target->type = type;
  target->hwnd = RegisterWindow(target.get());
  const HWND hwnd = target->hwnd;

  NativeWindow* owner_top = TopOf(Find(owner));
  GtkWindow* parent =
      owner_top != nullptr && owner_top->window != nullptr ? GTK_WINDOW(owner_top->window) : nullptr;
  GtkWidget* dialog = gtk_message_dialog_new(
      parent, GTK_DIALOG_MODAL, (type & MB_ICONQUESTION) != 0 ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO,
      yes_no ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", text.c_str());
  g_object_ref_sink(dialog);
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_position(GTK_WINDOW(dialog),
                          parent != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);

  auto owned = std::make_unique<NativeWindow>();
  NativeWindow* window = owned.get();
  window->system = this;
  window->hwnd = hwnd;
  window->kind = NativeKind::kMessageBox;
  window->parent = owner;
  window->window = dialog;
  window->title = caption;
  window->text = text;
  window->box_type = type;
  window->style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  window->box_target = target.get();
  windows_[hwnd] = std::move(owned);
  g_signal_connect(dialog, "response", G_CALLBACK(OnMessageBoxResponse), window);
  g_signal_connect(dialog, "configure-event", G_CALLBACK(OnMessageBoxConfigure), window);

  const std::vector<HWND> disabled = DisableOtherToplevels(hwnd);
  Show(hwnd, SW_SHOWNORMAL);
  RequestActivation(window);
  const int result = RunNestedFor(hwnd, cut_short);
  for (HWND other : disabled) Enable(other, true);

  DestroyWindow(hwnd);
  Destroy(hwnd);
  return result;
}

}  // namespace qrv
