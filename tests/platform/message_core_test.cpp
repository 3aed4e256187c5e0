#include "platform/message_core.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/headless_loop.h"
#include "platform/messages.h"

namespace qrv {
namespace {

// Application messages as these tests use them (the platform knows no application message).
constexpr UINT kMsgChatText = WM_USER + 1;
constexpr UINT kMsgCleanProgress = 2024;
constexpr UINT kMsgSwitchServer = WM_USER + 8;

// A window that records what it receives and can act on a message through a hook.
class RecordingWindow : public MessageTarget {
 public:
  struct Received {
    UINT msg;
    WPARAM wparam;
    std::int64_t at_ms;
  };

  RecordingWindow() : hwnd_(RegisterWindow(this)) {}

  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override {
    received_.push_back({msg, wparam, MessageCore::Backend()->NowMs()});
    if (on_message_) return on_message_(msg, wparam, lparam);
    return 0;
  }

  HWND hwnd() const { return hwnd_; }
  const std::vector<Received>& received() const { return received_; }
  std::vector<UINT> Messages() const {
    std::vector<UINT> out;
    for (const auto& r : received_) out.push_back(r.msg);
    return out;
  }
  std::function<LRESULT(UINT, WPARAM, LPARAM)> on_message_;

 private:
  HWND hwnd_;
  std::vector<Received> received_;
};

// Counts its own destruction, so tests can prove a payload was freed exactly once.
struct TrackedBlock {
  explicit TrackedBlock(int* destroyed, std::string text = {}) : destroyed_(destroyed), text_(std::move(text)) {}
  ~TrackedBlock() { ++*destroyed_; }
  int* destroyed_;
  std::string text_;
};

class MessageCoreTest : public ::testing::Test {
 protected:
  void SetUp() override { loop_ = &HeadlessLoop::Install(); }
  void TearDown() override { MessageCore::Uninstall(); }
  HeadlessLoop* loop_ = nullptr;
};

TEST_F(MessageCoreTest, SendIsImmediateAndPostWaitsForTheLoopInOrder) {
  RecordingWindow window;
  window.on_message_ = [](UINT msg, WPARAM wparam, LPARAM) -> LRESULT { return msg == WM_USER ? wparam * 2 : 0; };
  EXPECT_EQ(SendMessage(window.hwnd(), WM_USER, 21), 42);
  EXPECT_TRUE(PostMessage(window.hwnd(), WM_USER + 1, 1));
  EXPECT_TRUE(PostMessage(window.hwnd(), WM_USER + 2, 2));
  EXPECT_EQ(window.Messages(), (std::vector<UINT>{WM_USER}));
  loop_->Pump();
  EXPECT_EQ(window.Messages(), (std::vector<UINT>{WM_USER, WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessageCoreTest, MessagesToUnknownOrDestroyedWindowsAreRefusedOrDropped) {
  EXPECT_FALSE(PostMessage(HandleFromId(12345), WM_USER));
  EXPECT_EQ(SendMessage(nullptr, WM_USER), 0);

  auto* window = new RecordingWindow();
  const HWND hwnd = window->hwnd();
  bool final_seen = false;
  window->on_message_ = [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_NCDESTROY) {
      final_seen = true;
      EXPECT_FALSE(IsWindow(hwnd));  // the handle is gone before the final message
      delete window;
    }
    return 0;
  };
  ASSERT_TRUE(PostMessage(hwnd, WM_USER));
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_TRUE(final_seen);
  EXPECT_FALSE(IsWindow(hwnd));
  loop_->Pump();  // the queued message finds no window and is dropped without touching freed memory
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_EQ(MessageCore::WindowCount(), 0u);
}

TEST_F(MessageCoreTest, OwnedPayloadIsHandedOverOrFreedExactlyOnce) {
  int destroyed = 0;
  RecordingWindow taker;
  std::string taken_text;
  taker.on_message_ = [&](UINT msg, WPARAM, LPARAM lparam) -> LRESULT {
    if (msg == kMsgSwitchServer) {
      auto block = TakePayload<TrackedBlock>(lparam);
      EXPECT_NE(block, nullptr);
      if (block) taken_text = block->text_;
      EXPECT_EQ(TakePayload<TrackedBlock>(lparam), nullptr);  // a block is taken once
    }
    return 0;
  };
  RecordingWindow ignorer;  // handles the message but never takes the block
  RecordingWindow wrong_type_taker;
  wrong_type_taker.on_message_ = [&](UINT, WPARAM, LPARAM lparam) -> LRESULT {
    EXPECT_EQ(TakePayload<std::string>(lparam), nullptr);
    return 0;
  };

  PostMessage(taker.hwnd(), kMsgSwitchServer, 0, std::make_unique<TrackedBlock>(&destroyed, "[3服]"));
  PostMessage(ignorer.hwnd(), kMsgSwitchServer, 0, std::make_unique<TrackedBlock>(&destroyed));
  PostMessage(wrong_type_taker.hwnd(), kMsgSwitchServer, 0, std::make_unique<TrackedBlock>(&destroyed));
  EXPECT_FALSE(PostMessage(HandleFromId(999), kMsgSwitchServer, 0, std::make_unique<TrackedBlock>(&destroyed)));
  EXPECT_EQ(destroyed, 1);  // refused at once
  loop_->Pump();
  EXPECT_EQ(taken_text, "[3服]");
  EXPECT_EQ(destroyed, 4);
}

TEST_F(MessageCoreTest, PayloadOfAMessageNeverDeliveredIsFreedWhenTheWindowGoesOrTheCoreStops) {
  int destroyed = 0;
  {
    RecordingWindow window;
    PostMessage(window.hwnd(), kMsgChatText, 0, std::make_unique<TrackedBlock>(&destroyed));
    DestroyWindow(window.hwnd());
    loop_->Pump();
    EXPECT_EQ(destroyed, 1);
  }
  RecordingWindow window;
  PostMessage(window.hwnd(), kMsgChatText, 0, std::make_unique<TrackedBlock>(&destroyed));
  MessageCore::Uninstall();
  EXPECT_EQ(destroyed, 2);
  loop_ = &HeadlessLoop::Install();
}

TEST_F(MessageCoreTest, TimersFireOnTheVirtualClockAndSetTimerReplacesTheSameId) {
  RecordingWindow window;
  SetTimer(window.hwnd(), 1000001, 600000);
  SetTimer(window.hwnd(), 1, 50);
  SetTimer(window.hwnd(), 1, 20);  // replaces the 50 ms timer
  loop_->Advance(19);
  EXPECT_TRUE(window.received().empty());
  loop_->Advance(1);
  ASSERT_EQ(window.received().size(), 1u);
  EXPECT_EQ(window.received()[0].wparam, 1u);
  EXPECT_EQ(window.received()[0].at_ms, 20);
  KillTimer(window.hwnd(), 1);

  loop_->Advance(20 * 60 * 1000);  // twenty minutes: the 10-minute timer fires twice, each on time
  std::vector<std::int64_t> heartbeats;
  for (const auto& r : window.received()) {
    if (r.wparam == 1000001) heartbeats.push_back(r.at_ms);
  }
  EXPECT_EQ(heartbeats, (std::vector<std::int64_t>{600000, 1200000}));
}

TEST_F(MessageCoreTest, ATimerThatKillsItselfOrDestroysItsWindowFiresOnce) {
  auto* window = new RecordingWindow();
  int fired = 0;
  window->on_message_ = [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER) {
      ++fired;
      DestroyWindow(window->hwnd());
    } else if (msg == WM_NCDESTROY) {
      delete window;
    }
    return 0;
  };
  SetTimer(window->hwnd(), 2, 10);
  SetTimer(window->hwnd(), 3, 10);  // due at the same moment, but its window is gone by then
  loop_->Advance(100);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(MessageCore::NextTimerDue(), -1);
  EXPECT_EQ(SetTimer(HandleFromId(4242), 1, 10), 0u);
}

TEST_F(MessageCoreTest, QuitEndsTheLoopWithItsCodeAndLaterMessagesAreNotDelivered) {
  RecordingWindow window;
  window.on_message_ = [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_TIMER) PostQuitMessage(3);
    return 0;
  };
  SetTimer(window.hwnd(), 7, 600000);  // the loop runs the virtual clock up to it at once
  EXPECT_EQ(RunMessageLoop(), 3);
  PostMessage(window.hwnd(), WM_USER);
  loop_->Pump();
  EXPECT_EQ(window.Messages(), (std::vector<UINT>{WM_TIMER}));
}

TEST_F(MessageCoreTest, WorkerThreadsPostSafely) {
  RecordingWindow window;
  constexpr int kPosts = 200;
  std::thread worker([&] {
    for (int i = 0; i < kPosts; ++i) PostMessage(window.hwnd(), kMsgCleanProgress, static_cast<WPARAM>(i));
  });
  worker.join();
  loop_->Pump();
  ASSERT_EQ(window.received().size(), static_cast<std::size_t>(kPosts));
  for (int i = 0; i < kPosts; ++i) EXPECT_EQ(window.received()[i].wparam, static_cast<WPARAM>(i));
}

}  // namespace
}  // namespace qrv
