#include "chat/frame_reader.h"

#include "chat/chat_wire.h"

namespace qrv::chat {

void FrameReader::Append(std::string_view bytes) {
  if (failed_) return;
  // Drop what was handed out before growing, so the buffer stays about one frame long however
  // long the connection lives.
  if (start_ > 0) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(bytes);
}

FrameReader::Result FrameReader::Next(FrameView& frame) {
  if (failed_) return Result::kBadLength;
  const std::string_view pending = std::string_view(buffer_).substr(start_);
  if (pending.size() < kHeaderSize) return Result::kNeedMore;
  const int length = ReadI16(pending, 0);
  if (length < 0) {
    failed_ = true;
    bad_length_ = length;
    buffer_.clear();
    start_ = 0;
    return Result::kBadLength;
  }
  const std::size_t whole = kHeaderSize + static_cast<std::size_t>(length);
  if (pending.size() < whole) return Result::kNeedMore;
  frame.type = static_cast<std::int8_t>(ReadU8(pending, 2));
  frame.body = pending.substr(kHeaderSize, static_cast<std::size_t>(length));
  start_ += whole;
  return Result::kFrame;
}

}  // namespace qrv::chat
