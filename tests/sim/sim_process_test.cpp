// Starting and stopping the simulator, its deployment file, its request log, and its calm in the
// face of requests no launcher would send.

#include <arpa/inet.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

#include "sim/sim_test_support.h"

namespace qrv::sim::testing {
namespace {

std::unique_ptr<SimProcess> StartIn(const TempDir& dir, std::string& error, const std::string& data = "") {
  SimOptions options;
  options.work_dir = dir.path();
  options.data_file = data;
  return SimProcess::Start(options, error);
}

// Sends `bytes` on a fresh connection, optionally half-closes, and returns what comes back
// within a short wait.
std::string RawExchange(int port, const std::string& bytes, bool half_close) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    timeval wait{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    (void)send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (half_close) shutdown(fd, SHUT_WR);
    char buffer[4096];
    ssize_t got = 0;
    while ((got = recv(fd, buffer, sizeof buffer, 0)) > 0)
      reply.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return reply;
}

TEST(SimProcessTest, WritesTheDeployFileAndExitsCleanlyOnSigterm) {
  TempDir dir;
  std::string error;
  auto sim = StartIn(dir, error);
  ASSERT_NE(sim, nullptr) << error;
  EXPECT_GT(sim->port(), 0);

  g_autoptr(GKeyFile) deploy = g_key_file_new();
  ASSERT_TRUE(g_key_file_load_from_file(deploy, sim->deploy_path().c_str(), G_KEY_FILE_NONE, nullptr));
  for (const char* key : {"site", "interface", "game", "stat", "account", "forum", "pay"}) {
    g_autofree char* value = g_key_file_get_string(deploy, "hosts", key, nullptr);
    EXPECT_EQ(std::string(value ? value : ""), sim->host()) << key;
  }
  g_autofree char* domain = g_key_file_get_string(deploy, "hosts", "domain", nullptr);
  g_autofree char* service = g_key_file_get_string(deploy, "hosts", "service", nullptr);
  g_autofree char* chat_host = g_key_file_get_string(deploy, "chat", "host", nullptr);
  EXPECT_STREQ(domain, "127.0.0.1");
  EXPECT_EQ(std::string(service ? service : ""), sim->base_url() + "/service/");
  EXPECT_STREQ(chat_host, "127.0.0.1");
  EXPECT_GT(g_key_file_get_integer(deploy, "chat", "port", nullptr), 0);

  HttpClient client;
  EXPECT_EQ(client.Get(sim->base_url() + "/service/").status, 200);
  EXPECT_EQ(sim->Stop(SIGTERM), 0);
  EXPECT_EQ(client.Get(sim->base_url() + "/service/").status, 0);  // nobody listens any more
  const auto entries = LogEntries(*sim);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Field("path"), "/service/");
}

TEST(SimProcessTest, SigintStopsItCleanlyToo) {
  TempDir dir;
  std::string error;
  auto sim = StartIn(dir, error);
  ASSERT_NE(sim, nullptr) << error;
  EXPECT_EQ(sim->Stop(SIGINT), 0);
}

TEST(SimProcessTest, ABrokenDataFileStopsTheStartWithAReason) {
  TempDir dir;
  const std::string data = dir.path() + "/broken.json";
  std::ofstream(data) << R"({"accounts": [{"account": "a", "profile": {"id": "1"}},
                                          {"account": "a", "profile": {"id": "2"}}]})";
  std::string error;
  EXPECT_EQ(StartIn(dir, error, data), nullptr);
  EXPECT_NE(error.find("exit code 1"), std::string::npos) << error;

  std::ofstream(data) << "{ not json";
  EXPECT_EQ(StartIn(dir, error, data), nullptr);
  EXPECT_EQ(StartIn(dir, error, dir.path() + "/missing.json"), nullptr);
}

TEST(SimProcessTest, EachRequestIsOneJsonLineWithWhatArrived) {
  TempDir dir;
  std::string error;
  auto sim = StartIn(dir, error);
  ASSERT_NE(sim, nullptr) << error;
  HttpClient client;
  ASSERT_EQ(client.Get(sim->base_url() + LoginPath("qrvtest", "abc123456", "1765000000")).body, "SUCCESS");
  client.Get(sim->base_url() + "/clientlogingame.php?heart=1");

  const auto entries = LogEntries(*sim);
  ASSERT_EQ(entries.size(), 2u);
  const LogEntry& heartbeat = entries[1];
  ASSERT_TRUE(heartbeat.valid);
  EXPECT_EQ(heartbeat.Field("method"), "GET");
  EXPECT_EQ(heartbeat.Field("path"), "/clientlogingame.php?heart=1");
  EXPECT_EQ(heartbeat.query.at("heart"), "1");
  EXPECT_EQ(heartbeat.cookies.at("PHPSESSID"), entries[0].Field("session"));
  EXPECT_GT(std::stoi(heartbeat.Field("peer_port")), 0);
  EXPECT_EQ(heartbeat.Field("status"), "200");
  EXPECT_EQ(heartbeat.Field("event"), "heartbeat");
  ASSERT_FALSE(heartbeat.headers.empty());
  EXPECT_EQ(heartbeat.headers[0].first, "Host");
  EXPECT_FALSE(heartbeat.Field("time").empty());
  // The same client handle kept its connection.
  EXPECT_EQ(heartbeat.Field("connection"), entries[0].Field("connection"));
  EXPECT_EQ(sim->Stop(), 0);
}

TEST(SimProcessTest, HostileRequestsNeverBringItDown) {
  TempDir dir;
  std::string error;
  auto sim = StartIn(dir, error);
  ASSERT_NE(sim, nullptr) << error;
  const std::string probes[] = {
      "GARBAGE\r\n\r\n",
      std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11) + std::string(64, '\0'),
      "GET /clientlogingame.php?action=login&account=%zz&sign=%G1 HTTP/1.1\r\nHost: x\r\n\r\n",
      "GET /%FF%00/../x?%FF%FE=%01&&&=&account HTTP/1.0\r\nHost: x\r\n\r\n",
      "GET /stat.htm?app=qrvclient200020 HTTP/1.0\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: x\r\nCookie: " + std::string(200000, 'a') + "\r\n\r\n",
      "GET /clientreglogin.php?action=exit&sign= HTTP/1.1\r\nHost: x\r\nCookie: ;;=;PHPSESSID\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999\r\n\r\npartial",
      "GET /joinGame/code/",
  };
  for (const std::string& probe : probes) RawExchange(sim->port(), probe, /*half_close=*/true);

  HttpClient client;
  EXPECT_EQ(client.Get(sim->base_url() + "/stat.htm?app=qrvclient200020&from=74&pid=1").body, "1");
  for (const LogEntry& entry : LogEntries(*sim)) EXPECT_TRUE(entry.valid);
  EXPECT_EQ(sim->Stop(), 0);
}

}  // namespace
}  // namespace qrv::sim::testing
