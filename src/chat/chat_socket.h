#pragma once
// ChatSocket: one TCP connection to the chat server, made and served on GLib's main context with
// a non-blocking GIO socket, so nothing ever waits for the network. Its owner learns what happens
// through ChatSocketEvents, always from the main context and never from inside a call of its own
// into the socket.
//
// Lifetime. Every operation in flight holds the socket's shared state, not the ChatSocket; when
// the ChatSocket is destroyed it cancels them and shuts the connection down at once, and the
// state goes when the last cancelled operation has come back on the main context.

#include <memory>
#include <string>
#include <string_view>

namespace qrv::chat {

class ChatSocketEvents {
 public:
  virtual ~ChatSocketEvents() = default;
  virtual void OnSocketConnected() = 0;
  virtual void OnSocketReceived(std::string_view bytes) = 0;
  // The attempt failed, or the connection ended (the server closed it, it broke, or a write
  // failed). No event follows.
  virtual void OnSocketEnded(const std::string& reason) = 0;
};

class ChatSocket {
 public:
  // Starts connecting to `host`:`port` (no proxy: the protocol is raw TCP). The outcome arrives
  // through `events`, which must outlive the ChatSocket.
  //
  // A connection whose other end has gone silent (its machine gone, a router or NAT that dropped
  // the flow) ends within about `silence_seconds`: data that stays unacknowledged that long ends
  // it (TCP_USER_TIMEOUT), and an idle connection is probed by TCP keepalive from half that time
  // on, every eighth of it, and given up after four unanswered probes.
  ChatSocket(ChatSocketEvents& events, const std::string& host, int port, unsigned silence_seconds);
  ~ChatSocket();
  ChatSocket(const ChatSocket&) = delete;
  ChatSocket& operator=(const ChatSocket&) = delete;

  bool connected() const;
  // Whether the connection was made at all (it may have ended since).
  bool was_connected() const;

  // Hands `bytes` to the connection without waiting: what the system cannot take at once is kept
  // in order and written when the socket can take it. False when not connected or the connection
  // has failed; a failure also ends the connection, reported by OnSocketEnded soon after.
  bool Write(std::string_view bytes);

  // Socket states still alive (connected, or waiting for cancelled operations to come back);
  // tests use it to see that nothing is left behind.
  static int LiveStates();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace qrv::chat
