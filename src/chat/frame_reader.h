#pragma once
// Cuts the received byte stream into frames. A TCP read returns whatever has arrived: part of a
// frame, or several frames at once. The reader keeps the bytes until a whole frame is there and
// hands out one frame at a time.
//
// Every body length a header can express (0 to 32,767 bytes) is read whole. A header whose
// length reads negative cannot be followed safely: the reader stops for good and reports it, and
// the connection is dropped rather than guessing where the next frame starts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qrv::chat {

struct FrameView {
  std::int8_t type = 0;
  std::string_view body;  // valid until the next Append or Next
};

class FrameReader {
 public:
  enum class Result {
    kFrame,      // `frame` holds the next whole frame
    kNeedMore,   // no whole frame yet
    kBadLength,  // the stream announced an impossible length; nothing more will be read
  };

  void Append(std::string_view bytes);
  Result Next(FrameView& frame);

  // The length of the header that stopped the reader.
  int bad_length() const { return bad_length_; }
  // Bytes received and not yet handed out.
  std::size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::string buffer_;
  std::size_t start_ = 0;  // first byte not yet handed out
  bool failed_ = false;
  int bad_length_ = 0;
};

}  // namespace qrv::chat
