#include "platform/gtk/gtk_loop.h"

#include <algorithm>
#include <memory>

#include "platform/message_core.h"

namespace qrv {
namespace {

// A source that is ready only at its ready time; dispatching disarms it before the callback, so
// a request made during the callback arms it again.
gboolean DispatchOnReadyTime(GSource* source, GSourceFunc callback, gpointer data) {
  g_source_set_ready_time(source, -1);
  return callback != nullptr ? callback(data) : G_SOURCE_CONTINUE;
}

GSourceFuncs ready_time_funcs = {nullptr, nullptr, DispatchOnReadyTime, nullptr, nullptr, nullptr};

gboolean DispatchCore(gpointer) {
  MessageCore::DispatchPending();
  return G_SOURCE_CONTINUE;
}

GSource* NewCoreSource(const char* name) {
  GSource* source = g_source_new(&ready_time_funcs, sizeof(GSource));
  g_source_set_name(source, name);
  g_source_set_priority(source, G_PRIORITY_DEFAULT);
  g_source_set_callback(source, DispatchCore, nullptr, nullptr);
  g_source_set_ready_time(source, -1);
  g_source_attach(source, nullptr);
  return source;
}

void DestroySource(GSource* source) {
  g_source_destroy(source);
  g_source_unref(source);
}

}  // namespace

GtkLoop::GtkLoop()
    : dispatch_source_(NewCoreSource("qrv posted messages")), timer_source_(NewCoreSource("qrv window timers")) {}

GtkLoop::~GtkLoop() {
  Quit();
  DestroySource(dispatch_source_);
  DestroySource(timer_source_);
}

GtkLoop& GtkLoop::Install() {
  auto* loop = new GtkLoop();
  MessageCore::Install(std::unique_ptr<LoopBackend>(loop));
  return *loop;
}

GtkLoop* GtkLoop::Current() { return dynamic_cast<GtkLoop*>(MessageCore::Backend()); }

std::int64_t GtkLoop::NowMs() const { return g_get_monotonic_time() / 1000; }

void GtkLoop::RequestDispatch() { g_source_set_ready_time(dispatch_source_, 0); }

void GtkLoop::RequestWakeAt(std::int64_t due_ms) {
  g_source_set_ready_time(timer_source_, due_ms < 0 ? -1 : due_ms * 1000);
}

void GtkLoop::Run() {
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  RunNested(loop);
  g_main_loop_unref(loop);
}

void GtkLoop::Quit() {
  for (GMainLoop* loop : running_) g_main_loop_quit(loop);
}

bool GtkLoop::RunNested(GMainLoop* loop) {
  if (MessageCore::QuitRequested()) return false;
  running_.push_back(loop);
  g_main_loop_run(loop);
  running_.erase(std::find(running_.begin(), running_.end(), loop));
  return true;
}

}  // namespace qrv
