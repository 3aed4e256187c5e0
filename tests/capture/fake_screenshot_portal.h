#pragma once
// A desktop portal of the tests' own on a private session bus: it owns
// org.freedesktop.portal.Desktop and answers org.freedesktop.portal.Screenshot as a real portal
// does (a request object derived from the caller's name and handle token, then its Response
// signal), with the answer the test chose. It runs on a thread of its own.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qrv::test {

class FakeScreenshotPortal {
 public:
  explicit FakeScreenshotPortal(const std::string& bus_address);
  ~FakeScreenshotPortal();
  FakeScreenshotPortal(const FakeScreenshotPortal&) = delete;
  FakeScreenshotPortal& operator=(const FakeScreenshotPortal&) = delete;

  bool ready() const;
  const std::string& error() const { return error_; }

  // The next answers: 0 with the picture's address, 1 (the player cancelled) or 2 (failed).
  void Answer(unsigned response, const std::string& uri);
  // How many requests came, and whether the last asked for an interactive capture.
  int requests() const;
  bool last_interactive() const;

  // Called on the portal's thread.
  struct Reply {
    unsigned response;
    std::string uri;
  };
  Reply TakeRequest(bool interactive);

 private:
  void Run(std::string address);

  mutable std::mutex mutex_;
  std::condition_variable started_changed_;
  bool started_ = false;
  bool ready_ = false;
  std::string error_;
  Reply answer_{2, {}};
  int requests_ = 0;
  bool last_interactive_ = false;
  void* context_ = nullptr;  // the thread's GMainContext*
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace qrv::test
