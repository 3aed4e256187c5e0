#include "chat/gm_helper.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "chat/chat_dispatch.h"
#include "chat/chat_wire.h"
#include "platform/codepage.h"
#include "platform/debug_sink.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv {
namespace {

constexpr std::uintptr_t kRetryTimer = 1;

// The silence time of the next connection: the environment's, when it names whole seconds from 1
// to 60, else the default.
unsigned SilenceSeconds() {
  const char* text = std::getenv(CGMHelper::kSilenceVariable);
  if (text == nullptr || *text == '\0') return CGMHelper::kSilenceSeconds;
  char* end = nullptr;
  const long seconds = std::strtol(text, &end, 10);
  if (*end != '\0' || seconds < 1 || seconds > 60) return CGMHelper::kSilenceSeconds;
  return static_cast<unsigned>(seconds);
}

}  // namespace

// The helper's own hidden window: it only receives the retry timer, the way a socket class keeps
// a notification window for its events.
class CGMHelper::TimerWindow final : public MessageTarget {
 public:
  explicit TimerWindow(CGMHelper& helper) : helper_(helper) {}
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM) override {
    if (msg == WM_TIMER) helper_.OnTimer(wparam);
    return 0;
  }

 private:
  CGMHelper& helper_;
};

CGMHelper::CGMHelper() = default;

CGMHelper::~CGMHelper() {
  Close();
  if (IsWindow(timer_hwnd_)) DestroyWindow(timer_hwnd_);
}

void CGMHelper::Connect(const std::string& host, int port) {
  Close();
  host_ = host;
  port_ = port;
  wanted_ = true;
  retry_delay_ms_ = kFirstRetryMs;
  StartAttempt();
}

void CGMHelper::Close() {
  wanted_ = false;
  if (IsWindow(timer_hwnd_)) KillTimer(timer_hwnd_, kRetryTimer);
  socket_.reset();
  reader_ = chat::FrameReader();
}

bool CGMHelper::connected() const { return socket_ != nullptr && socket_->connected(); }

void CGMHelper::StartAttempt() {
  reader_ = chat::FrameReader();
  char line[320];
  std::snprintf(line, sizeof line, "*****连接客服服务器 %s:%d*****\r\n", host_.c_str(), port_);
  OutputDebugString(line);
  chat::ChatSocketEvents& events = *this;
  socket_ = std::make_unique<chat::ChatSocket>(events, host_, port_, SilenceSeconds());
}

void CGMHelper::OnSocketConnected() {
  retry_delay_ms_ = kFirstRetryMs;
  // The owner asks for the whole list again on every connection; keeping the old entries would
  // list every agent twice.
  state_.agents.Clear();
  // Requests went to the connection that is gone; its answers will never come.
  state_.requested.clear();
  OutputDebugString("*****客服服务器连接成功*****\r\n");
  // A copy, so that the callback may replace itself.
  if (auto callback = on_connected_) callback();
}

void CGMHelper::OnSocketReceived(std::string_view bytes) {
  reader_.Append(bytes);
  chat::FrameView frame;
  for (;;) {
    switch (reader_.Next(frame)) {
      case chat::FrameReader::Result::kFrame:
        chat::HandleFrame(frame, state_, target_);
        continue;
      case chat::FrameReader::Result::kNeedMore:
        return;
      case chat::FrameReader::Result::kBadLength:
        Retry("frame length " + std::to_string(reader_.bad_length()));
        return;
    }
  }
}

void CGMHelper::OnSocketEnded(const std::string& reason) { Retry(reason); }

void CGMHelper::Retry(const std::string& reason) {
  const bool was_connected = socket_ != nullptr && socket_->was_connected();
  socket_.reset();
  if (!wanted_) return;
  if (was_connected) {
    // A copy, so that the callback may replace itself.
    if (auto callback = on_lost_) callback(reason);
  }
  SetTimer(TimerHandle(), kRetryTimer, retry_delay_ms_);
  char line[512];
  std::snprintf(line, sizeof line, "*****客服连接中断(%s)，%u秒后重连*****\r\n", reason.c_str(),
                retry_delay_ms_ / 1000);
  OutputDebugString(line);
  retry_delay_ms_ = std::min(retry_delay_ms_ * 2, kLongestRetryMs);
}

HWND CGMHelper::TimerHandle() {
  // Made on first use, and again if the message core was set up anew since.
  if (!IsWindow(timer_hwnd_)) {
    timer_window_ = std::make_unique<TimerWindow>(*this);
    timer_hwnd_ = RegisterWindow(timer_window_.get());
  }
  return timer_hwnd_;
}

void CGMHelper::OnTimer(std::uintptr_t id) {
  if (id != kRetryTimer) return;
  KillTimer(timer_hwnd_, kRetryTimer);
  if (wanted_ && socket_ == nullptr) StartAttempt();
}

bool CGMHelper::Send(std::string_view bytes) { return socket_ != nullptr && socket_->Write(bytes); }

bool CGMHelper::SendHeartbeat() {
  if (!Send(chat::HeartbeatFrame())) return false;
  OutputDebugString("********心跳包发送成功************\r\n");
  return true;
}

bool CGMHelper::SendGameInfoRequest() { return Send(chat::GameInfoRequestFrame()); }
bool CGMHelper::SendAgentListRequest() { return Send(chat::AgentListRequestFrame()); }
bool CGMHelper::SendLocalAgentsRequest() { return Send(chat::LocalAgentsRequestFrame()); }
bool CGMHelper::SendAgentStatesRequest() { return Send(chat::AgentStatesRequestFrame()); }
bool CGMHelper::SendChatStart() { return Send(chat::ChatStartFrame()); }

bool CGMHelper::RequestChat(std::uint64_t agent_id) {
  if (!Send(chat::OpenChatFrame(agent_id))) return false;
  state_.requested.insert(agent_id);
  char line[160];
  std::snprintf(line, sizeof line,
                "**************发送开启聊天请求，客服ID:%" PRIu64 ",用户ID：%d,************\r\n", agent_id,
                static_cast<int>(chat::kUserNumber));
  OutputDebugString(line);
  return true;
}

ChatSendResult CGMHelper::SendChatText(std::uint64_t agent_id, std::string_view text) {
  const auto frame = chat::ChatTextFrame(agent_id, Utf8FromSystem(text));
  if (!frame) return ChatSendResult::kTooLong;
  return Send(*frame) ? ChatSendResult::kSent : ChatSendResult::kNotConnected;
}

}  // namespace qrv
