#pragma once
// Helpers for the simulator's tests: a temporary folder, the platform's signatures computed
// independently of the simulator, request paths built as the launcher builds them, a small
// libcurl client with its own cookie jar, and readers for data elements and log lines.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_process.h"
#include "support/temp_dir.h"

namespace qrv::sim::testing {

using TempDir = qrv::test::TempDir;

std::string UpperMd5(std::string_view text);
// Escapes every byte outside the unreserved set, as the launcher's HTTP layer does.
std::string Escape(std::string_view text);

// "clientlogingame.php?action=login&&..." and the profile path, signed with `password`.
std::string LoginPath(const std::string& account, const std::string& password, const std::string& time,
                      const std::string& mac = "eth0");
std::string ProfilePath(const std::string& account, const std::string& password, const std::string& time);
std::string ExitPath(const std::string& user_id, const std::string& mac, const std::string& login_date,
                     const std::string& time);

struct HttpResult {
  long status = 0;
  std::string body;
  std::vector<std::string> set_cookies;
  std::string error;  // empty when the exchange worked
};

// One libcurl handle: its connection is reused and its cookies kept between requests.
class HttpClient {
 public:
  // `http10_keep_alive`: speak HTTP/1.0 and ask for keep-alive, as the launcher's web client does.
  explicit HttpClient(bool http10_keep_alive = false);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;
  HttpResult Get(const std::string& url);

 private:
  void* curl_;
  void* headers_ = nullptr;
};

using Attributes = std::map<std::string, std::string>;
// Every "<data .../>" element of a response, as attribute maps.
std::vector<Attributes> DataElements(const std::string& body);

// A log line read back: top-level strings and numbers as text, plus the query and cookie objects
// and the header pairs. `valid` is false when the line is not a JSON object.
struct LogEntry {
  bool valid = false;
  std::map<std::string, std::string> fields;
  std::map<std::string, std::string> query;
  std::map<std::string, std::string> cookies;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string Field(const std::string& name) const;
};
LogEntry ParseLogLine(const std::string& line);
std::vector<LogEntry> LogEntries(const SimProcess& sim);
// The entries whose "event" is `event`, in order.
std::vector<LogEntry> EntriesWithEvent(const SimProcess& sim, const std::string& event);

// A simulator with the default data in a fresh folder for each test; it must exit with 0.
class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Url(const std::string& path) const { return sim_->base_url() + path; }

  TempDir dir_;
  std::unique_ptr<SimProcess> sim_;
};

}  // namespace qrv::sim::testing
