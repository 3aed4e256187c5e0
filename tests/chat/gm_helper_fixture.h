#pragma once
// The fixture of the chat connection's socket tests: a headless message loop, a target window,
// the connection under test with a count of its connections, and readers of its progress lines.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>

#include "chat/chat_socket.h"
#include "chat/chat_test_support.h"
#include "chat/gm_helper.h"
#include "platform/debug_sink.h"

namespace qrv::chat::testing {

constexpr std::uint64_t kHighAgent = 0x100000002ULL;  // an id that needs both halves

class GMHelperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop_ = &HeadlessLoop::Install();
    window_ = std::make_unique<PostedMessages>();
    helper_ = std::make_unique<CGMHelper>();
    helper_->SetOnConnected([this] {
      ++connections_;
      if (on_connected_) on_connected_();
    });
  }

  void TearDown() override {
    helper_.reset();
    // Cancelled socket operations come back on the main context; none may be left behind.
    EXPECT_TRUE(PumpUntil(*loop_, [] { return ChatSocket::LiveStates() == 0; }));
    server_.reset();
    window_.reset();
    MessageCore::Uninstall();
  }

  void ConnectToServer() {
    server_ = std::make_unique<TestChatServer>();
    helper_->SetTarget(window_->hwnd());
    helper_->Connect("127.0.0.1", server_->port());
    ASSERT_TRUE(Pump([&] { return helper_->connected() && server_->accepted() == 1 && connections_ == 1; }));
  }

  bool Pump(const std::function<bool()>& done) { return PumpUntil(*loop_, done); }

  int CountLines(std::string_view fragment) const {
    int count = 0;
    for (const auto& line : capture_.Lines()) count += line.find(fragment) != std::string::npos ? 1 : 0;
    return count;
  }

  // The delays, in seconds, of the retry lines written so far.
  std::vector<int> RetryDelays() const {
    std::vector<int> delays;
    for (const auto& line : capture_.Lines()) {
      const auto end = line.find("秒后重连");
      if (end == std::string::npos) continue;
      auto start = end;
      while (start > 0 && std::isdigit(static_cast<unsigned char>(line[start - 1]))) --start;
      delays.push_back(std::stoi(line.substr(start, end - start)));
    }
    return delays;
  }

  DebugCapture capture_;
  HeadlessLoop* loop_ = nullptr;
  std::unique_ptr<PostedMessages> window_;
  std::unique_ptr<TestChatServer> server_;
  std::unique_ptr<CGMHelper> helper_;
  int connections_ = 0;
  std::function<void()> on_connected_;
};

}  // namespace qrv::chat::testing
