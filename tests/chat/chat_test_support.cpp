#include "chat/chat_test_support.h"

#include <gtest/gtest.h>

#include <thread>

#include "chat/chat_messages.h"
#include "chat/chat_wire.h"
#include "platform/messages.h"

namespace qrv::chat::testing {

bool PumpUntil(HeadlessLoop& loop, const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    PumpIdle(loop);
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void PumpIdle(HeadlessLoop& loop) {
  for (int round = 0; round < 1000 && g_main_context_iteration(nullptr, FALSE); ++round) {
  }
  loop.Pump();
}

LRESULT PostedMessages::HandleMessage(UINT msg, WPARAM, LPARAM lparam) {
  if (msg == kMsgChatText) {
    auto text = TakePayload<ChatTextMessage>(lparam);
    if (text == nullptr)
      ++empty_payloads;
    else
      texts.push_back(*text);
  } else if (msg == kMsgChatAccepted) {
    auto agent = TakePayload<std::uint64_t>(lparam);
    if (agent == nullptr)
      ++empty_payloads;
    else
      accepted.push_back(*agent);
  }
  return 0;
}

TestChatServer::TestChatServer(int port)
    : listener_(g_socket_listener_new()), cancellable_(g_cancellable_new()) {
  g_autoptr(GSocketAddress) address =
      g_inet_socket_address_new_from_string("127.0.0.1", static_cast<guint>(port));
  g_autoptr(GSocketAddress) effective = nullptr;
  g_autoptr(GError) error = nullptr;
  if (!g_socket_listener_add_address(listener_, address, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr,
                                     &effective, &error)) {
    ADD_FAILURE() << "cannot listen on 127.0.0.1:" << port << ": " << error->message;
    return;
  }
  port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(effective));
  AcceptNext();
}

TestChatServer::~TestChatServer() {
  g_cancellable_cancel(cancellable_);
  g_socket_listener_close(listener_);
  for (GSocketConnection* client : clients_) {
    g_io_stream_close(G_IO_STREAM(client), nullptr, nullptr);
    g_object_unref(client);
  }
  g_object_unref(listener_);
  g_object_unref(cancellable_);
}

void TestChatServer::AcceptNext() {
  g_socket_listener_accept_async(listener_, cancellable_, &TestChatServer::OnAccepted, this);
}

void TestChatServer::OnAccepted(GObject* source, GAsyncResult* result, gpointer data) {
  g_autoptr(GError) error = nullptr;
  GSocketConnection* client =
      g_socket_listener_accept_finish(G_SOCKET_LISTENER(source), result, nullptr, &error);
  if (client == nullptr) return;  // cancelled: the server is gone, `data` with it
  auto* self = static_cast<TestChatServer*>(data);
  self->clients_.push_back(client);
  self->received_.clear();
  self->closed_ = false;
  self->AcceptNext();
}

void TestChatServer::Send(std::string_view bytes) {
  ASSERT_FALSE(clients_.empty()) << "no client to send to";
  GSocket* socket = g_socket_connection_get_socket(clients_.back());
  while (!bytes.empty()) {
    g_autoptr(GError) error = nullptr;
    const gssize sent =
        g_socket_send_with_blocking(socket, bytes.data(), bytes.size(), TRUE, nullptr, &error);
    ASSERT_GT(sent, 0) << (error ? error->message : "nothing sent");
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void TestChatServer::ReadAvailable() {
  if (clients_.empty() || closed_) return;
  GSocket* socket = g_socket_connection_get_socket(clients_.back());
  char buffer[65536];
  for (;;) {
    g_autoptr(GError) error = nullptr;
    const gssize got = g_socket_receive_with_blocking(socket, buffer, sizeof buffer, FALSE, nullptr, &error);
    if (got > 0) {
      received_.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got == 0 || !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK)) closed_ = true;
    return;
  }
}

const std::string& TestChatServer::received() {
  ReadAvailable();
  return received_;
}

bool TestChatServer::client_closed() {
  ReadAvailable();
  return closed_;
}

void TestChatServer::CloseClient() {
  ASSERT_FALSE(clients_.empty());
  g_io_stream_close(G_IO_STREAM(clients_.back()), nullptr, nullptr);
  closed_ = true;
}

int FreePort() {
  g_autoptr(GSocket) socket =
      g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr);
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new_from_string("127.0.0.1", 0);
  if (socket == nullptr || !g_socket_bind(socket, address, FALSE, nullptr)) return 0;
  g_autoptr(GSocketAddress) bound = g_socket_get_local_address(socket, nullptr);
  return bound == nullptr ? 0 : g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
}

std::string Frame(std::int8_t type, std::string_view body) {
  std::string frame;
  AppendU16(frame, static_cast<std::uint16_t>(body.size()));
  frame.push_back(static_cast<char>(type));
  frame.append(body);
  return frame;
}

std::string U64(std::uint64_t value) {
  std::string out;
  AppendU64(out, value);
  return out;
}

std::string U32(std::uint32_t value) {
  std::string out;
  AppendU32(out, value);
  return out;
}

std::string I16(std::int16_t value) {
  std::string out;
  AppendU16(out, static_cast<std::uint16_t>(value));
  return out;
}

std::string AgentRecord(std::uint64_t id, std::string_view name, std::string_view extra) {
  std::string record = U64(id) + I16(static_cast<std::int16_t>(name.size()));
  record.append(name);
  record += I16(static_cast<std::int16_t>(extra.size()));
  record.append(extra);
  return record;
}

std::string ChatTextBody(std::uint64_t agent_id, std::int16_t length, std::string_view text) {
  std::string body = U32(kUserNumber) + U32(kServerNumber) + U64(agent_id) + I16(length);
  body.append(text);
  return body;
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 15]);
  }
  return out;
}

}  // namespace qrv::chat::testing
