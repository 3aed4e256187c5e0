#pragma once
// Helpers for the chat connection's tests: a loop pump that runs both GLib's main context (where
// the sockets live) and the headless message loop (where posted messages and the retry timer
// live), a window that keeps what the connection posts, a small chat server on loopback driven
// by the test, and builders of the frames a server sends.

#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "chat/chat_messages.h"
#include "platform/headless_loop.h"
#include "platform/message_core.h"

namespace qrv::chat::testing {

// Runs both loops until `done` holds; false when `limit` of real time passed first.
bool PumpUntil(HeadlessLoop& loop, const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(20));
// Runs GLib's main context until it has nothing ready, then the message loop.
void PumpIdle(HeadlessLoop& loop);

// The target window of the connection: keeps the chat texts and accepted chats posted to it.
class PostedMessages final : public MessageTarget {
 public:
  PostedMessages() : hwnd_(RegisterWindow(this)) {}
  ~PostedMessages() override { DestroyWindow(hwnd_); }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

  HWND hwnd() const { return hwnd_; }
  std::vector<ChatTextMessage> texts;
  std::vector<std::uint64_t> accepted;
  int empty_payloads = 0;  // messages whose block was missing or of another type

 private:
  HWND hwnd_;
};

// A chat server on 127.0.0.1 for one test, served on GLib's main context. Everything is about
// the newest accepted connection.
class TestChatServer {
 public:
  explicit TestChatServer(int port = 0);  // 0: any free port
  ~TestChatServer();
  TestChatServer(const TestChatServer&) = delete;
  TestChatServer& operator=(const TestChatServer&) = delete;

  int port() const { return port_; }
  int accepted() const { return static_cast<int>(clients_.size()); }

  // Writes to the newest connection (blocking; the tests' frames are small).
  void Send(std::string_view bytes);
  // Everything the newest connection has sent so far.
  const std::string& received();
  // Whether the newest connection was closed by the client.
  bool client_closed();
  // Closes the newest connection from the server's side.
  void CloseClient();

 private:
  static void OnAccepted(GObject* source, GAsyncResult* result, gpointer data);
  void AcceptNext();
  void ReadAvailable();

  GSocketListener* listener_ = nullptr;
  GCancellable* cancellable_ = nullptr;
  int port_ = 0;
  std::vector<GSocketConnection*> clients_;
  std::string received_;
  bool closed_ = false;
};

// A port on 127.0.0.1 where nothing listens (it was free a moment ago).
int FreePort();

// Frames as the server sends them.
std::string Frame(std::int8_t type, std::string_view body);
// A record of the agent list: id, name, extra (extra_length overrides the written length).
std::string AgentRecord(std::uint64_t id, std::string_view name, std::string_view extra);
std::string U64(std::uint64_t value);
std::string I16(std::int16_t value);
std::string U32(std::uint32_t value);
// Body of a chat text from `agent_id`: addressee, agent, length, then `text` as given.
std::string ChatTextBody(std::uint64_t agent_id, std::int16_t length, std::string_view text);

// "0A 1B ..." for failure messages.
std::string Hex(std::string_view bytes);

}  // namespace qrv::chat::testing
