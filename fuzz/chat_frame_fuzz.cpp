// The chat server's bytes are input from the network: whatever arrives, in whatever pieces, the
// frame reader and the body readers must never crash nor read outside a frame's body. Each body
// is handed over in a heap block of exactly its size, so a read past its end is caught.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "chat/chat_dispatch.h"
#include "chat/chat_messages.h"
#include "chat/chat_parsers.h"
#include "chat/chat_wire.h"
#include "chat/frame_reader.h"
#include "platform/headless_loop.h"
#include "platform/message_core.h"

namespace {

// Takes whatever the frames post, so that the posting path runs too.
class Sink final : public qrv::MessageTarget {
 public:
  qrv::LRESULT HandleMessage(qrv::UINT, qrv::WPARAM, qrv::LPARAM lparam) override {
    qrv::TakePayload<qrv::ChatTextMessage>(lparam);
    qrv::TakePayload<std::uint64_t>(lparam);
    return 0;
  }
};

struct World {
  World() : loop(qrv::HeadlessLoop::Install()), hwnd(qrv::RegisterWindow(&sink)) {}
  qrv::HeadlessLoop& loop;
  Sink sink;
  qrv::HWND hwnd;
};

void ParseEveryWay(std::string_view bytes) {
  auto exact = std::make_unique<char[]>(bytes.size() + 1);  // +1: a zero-length body still gets a block
  std::copy(bytes.begin(), bytes.end(), exact.get());
  const std::string_view body(exact.get(), bytes.size());
  qrv::chat::ParseLoginResult(body);
  qrv::chat::ParseGameInfo(body);
  for (const auto& entry : qrv::chat::ParseAgentList(body)) {
    if (entry.name.size() + entry.extra.size() > 3 * body.size()) std::abort();
  }
  if (qrv::chat::ParseLocalAgents(body).size() != body.size() / 8) std::abort();
  if (qrv::chat::ParseAgentStates(body).size() != body.size() / 9) std::abort();
  qrv::chat::ParseOpenChatResult(body);
  qrv::chat::ParseChatText(body);
  qrv::chat::ParseAgentOffline(body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static World world;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  ParseEveryWay(input);

  if (size == 0) return 0;
  // The first byte picks the size of the pieces in which the rest, the stream, arrives.
  const std::size_t piece = static_cast<std::size_t>(data[0] % 64) + 1;
  const std::string_view stream = input.substr(1);
  qrv::chat::FrameReader reader;
  qrv::chat::ChatState state;
  bool stopped = false;
  for (std::size_t at = 0; at < stream.size() && !stopped; at += piece) {
    reader.Append(stream.substr(at, piece));
    qrv::chat::FrameView frame;
    for (;;) {
      const auto result = reader.Next(frame);
      if (result == qrv::chat::FrameReader::Result::kBadLength) {
        stopped = true;
        break;
      }
      if (result == qrv::chat::FrameReader::Result::kNeedMore) break;
      if (frame.body.size() > qrv::chat::kMaxReceivedBody) std::abort();
      auto exact = std::make_unique<char[]>(frame.body.size() + 1);
      std::copy(frame.body.begin(), frame.body.end(), exact.get());
      qrv::chat::FrameView copy{frame.type, std::string_view(exact.get(), frame.body.size())};
      ParseEveryWay(copy.body);
      qrv::chat::HandleFrame(copy, state, world.hwnd);
    }
  }
  world.loop.Pump();
  return 0;
}
