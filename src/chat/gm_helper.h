#pragma once
// CGMHelper: the launcher's connection to the customer-service chat server.
//
// It opens the TCP connection itself (on GLib's main context, never waiting), keeps the list of
// agents the server sends, hands chat texts and accepted chats to its target window as posted
// messages (chat_messages.h), and offers the frames the launcher sends. The owner (the main
// frame) drives the fixed requests from its own timers: on every (re)connection it is called
// back and starts its request sequence again (heartbeat and game information, then the agent
// list, then local agents and states), and it sends the heartbeat periodically.
//
// A connection that cannot be made, or that is lost, is tried again after 1 s, then after 2, 4,
// ... up to 60 s between attempts; the delay starts again from 1 s once a connection is made.
// The delay runs on the message core's timers (a hidden window of the helper's own), so it
// follows the loop's clock. Each new connection starts with an empty agent list, since the owner
// asks for the whole list again.
//
// A received frame that announces a negative length ends the connection (and a new one is tried):
// past such a header there is no telling where frames start.
//
// A server that goes silent without closing (its machine gone, a NAT that dropped the flow) is
// noticed by the socket within the silence time (chat_socket.h): 40 s, or the whole seconds of the
// environment variable QRV_CHAT_SILENCE_SECONDS (1 to 60) read at each connection attempt, which
// tests use to avoid waiting. The loss is then handled like any other lost connection.
//
// The agent list holds at most AgentBook::kMaxAgents agents, one per id (agent_book.h), and the
// server can only open chats the player asked for (chat_dispatch.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_dispatch.h"
#include "chat/chat_socket.h"
#include "chat/frame_reader.h"
#include "chat/gm_entry.h"
#include "platform/types.h"

namespace qrv {

enum class ChatSendResult {
  kSent,          // handed to the connection
  kTooLong,       // over 65516 bytes of UTF-8: refused whole, nothing sent
  kNotConnected,  // no connection (or it failed on this write)
};

class CGMHelper final : private chat::ChatSocketEvents {
 public:
  // Retry delays between connection attempts.
  static constexpr unsigned kFirstRetryMs = 1000;
  static constexpr unsigned kLongestRetryMs = 60000;
  // Seconds after which a connection whose peer stopped acknowledging counts as lost.
  static constexpr unsigned kSilenceSeconds = 40;
  static constexpr char kSilenceVariable[] = "QRV_CHAT_SILENCE_SECONDS";

  CGMHelper();
  ~CGMHelper() override;
  CGMHelper(const CGMHelper&) = delete;
  CGMHelper& operator=(const CGMHelper&) = delete;

  // Connects to the chat server and keeps connecting whenever the connection is lost, until
  // Close. A connection already open or under way is dropped first.
  void Connect(const std::string& host, int port);
  // Drops the connection and stops trying.
  void Close();

  // The window that receives kMsgChatText and kMsgChatAccepted; nothing is posted while null.
  void SetTarget(HWND target) { target_ = target; }
  // Called each time a connection has been made, after the agent list was emptied.
  void SetOnConnected(std::function<void()> on_connected) { on_connected_ = std::move(on_connected); }
  // Called each time a connection that was made is lost (not for attempts that fail), with the
  // reason, before the next attempt is scheduled.
  void SetOnLost(std::function<void(const std::string&)> on_lost) { on_lost_ = std::move(on_lost); }

  bool connected() const;
  const std::vector<GMEntry>& agents() const { return state_.agents.entries(); }
  // The listed agent of `agent_id`, or null.
  const GMEntry* FindAgent(std::uint64_t agent_id) const { return state_.agents.Find(agent_id); }

  // Sends raw bytes; false when not connected or the write fails.
  bool Send(std::string_view bytes);

  // The fixed requests. The heartbeat writes its progress line when the send worked.
  bool SendHeartbeat();
  bool SendGameInfoRequest();
  bool SendAgentListRequest();
  bool SendLocalAgentsRequest();
  bool SendAgentStatesRequest();
  bool SendChatStart();

  // Asks the server to open a chat with the agent (answered by type 7); writes its progress line
  // when the send worked. Only an agent asked for here can have a chat opened, once per request;
  // requests are forgotten with the connection they were made on.
  bool RequestChat(std::uint64_t agent_id);
  // Sends one chat text (in the program's code page) to the agent.
  ChatSendResult SendChatText(std::uint64_t agent_id, std::string_view text);

  // Delay before the next connection attempt (after the one just failed), for tests and logs.
  unsigned retry_delay_ms() const { return retry_delay_ms_; }

 private:
  class TimerWindow;

  void OnSocketConnected() override;
  void OnSocketReceived(std::string_view bytes) override;
  void OnSocketEnded(const std::string& reason) override;

  void StartAttempt();
  // Lets the socket go and schedules the next attempt.
  void Retry(const std::string& reason);
  HWND TimerHandle();
  void OnTimer(std::uintptr_t id);

  std::string host_;
  int port_ = 0;
  bool wanted_ = false;  // between Connect and Close
  std::unique_ptr<chat::ChatSocket> socket_;
  chat::FrameReader reader_;
  chat::ChatState state_;
  HWND target_ = nullptr;
  std::function<void()> on_connected_;
  std::function<void(const std::string&)> on_lost_;
  unsigned retry_delay_ms_ = kFirstRetryMs;
  std::unique_ptr<TimerWindow> timer_window_;
  HWND timer_hwnd_ = nullptr;
};

}  // namespace qrv
