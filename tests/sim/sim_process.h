#pragma once
// Runs the platform simulator (qrv_sim) as a child process for tests: starts it on a free
// loopback port, reads the ports from its "listening on 127.0.0.1:<port>" and
// "chat on 127.0.0.1:<port>" lines, writes the launcher's deploy.ini pointing at it, and stops it
// with SIGTERM. Its chat server can be taken away and brought back while HTTP runs on. The
// request log it keeps is one JSON object per line (see sim/request_log.h) and can be read at any
// time.
//
//   TempDir-like folder → SimOptions options{.work_dir = dir};
//   std::string error;
//   auto sim = qrv::sim::SimProcess::Start(options, error);   // null on failure, reason in error
//   ... point the launcher at sim->deploy_path() or fetch sim->base_url() + "/..." ...
//   EXPECT_EQ(sim->Stop(), 0);

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace qrv::sim {

struct SimOptions {
  std::string work_dir;                         // required; the log goes to <work_dir>/sim_log.jsonl
  std::string data_file;                        // empty: the default data file of the source tree
  std::string deploy_path = "data/deploy.ini";  // relative to work_dir unless absolute; empty: none
  int port = 0;                                 // 0: any free port
  int chat_port = 0;                            // 0: any free port
  // HTTPS beside HTTP: the certificate and key (PEM) of the TLS listener, and the authority that
  // signed them, which deploy.ini then names as cafile; its hosts are then https ones.
  std::string tls_certificate;
  std::string tls_key;
  std::string tls_authority;
  std::vector<std::string> extra_args;
  std::chrono::milliseconds start_timeout{15000};
};

class SimProcess {
 public:
  static std::unique_ptr<SimProcess> Start(const SimOptions& options, std::string& error);
  ~SimProcess();  // stops the simulator if it still runs
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  int port() const { return port_; }
  int chat_port() const { return chat_port_; }
  int tls_port() const { return tls_port_; }  // 0 without TLS
  std::string host() const;                   // "127.0.0.1:<port>", as deploy.ini holds it
  std::string base_url() const;               // "http://127.0.0.1:<port>"
  const std::string& log_path() const { return log_path_; }
  const std::string& deploy_path() const { return deploy_path_; }  // empty when none was written
  pid_t pid() const { return pid_; }
  bool running() const { return pid_ > 0; }

  // The request log's complete lines so far.
  std::vector<std::string> LogLines() const;

  // Stops the chat server (its connections close, new ones are refused) or starts it again on
  // the same port, and waits until the log shows it happened. False when it did not in time.
  bool SuspendChat(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
  bool ResumeChat(std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

  // Sends `signal` and waits for the exit; after `timeout` the process is killed. Returns its
  // exit code (0 to 255), 128 + n when a signal ended it, or -1 when it was not running.
  int Stop(int signal = SIGTERM, std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));

 private:
  SimProcess() = default;
  // Sends `signal` and waits for one more log line holding `event`.
  bool SignalAndWait(int signal, const std::string& event, std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int port_ = 0;
  int chat_port_ = 0;
  int tls_port_ = 0;
  std::string log_path_;
  std::string deploy_path_;
};

// The simulator program and the default data file this build was made with.
std::string SimBinaryPath();
std::string DefaultSimDataPath();

// The test certificates the build makes (PEM files): "ca.pem" (the authority), "localhost.pem"
// and "localhost.key" (for localhost and 127.0.0.1), "wrong-host.pem" and "wrong-host.key" (for
// another host, signed by the same authority).
std::string TestCertificatePath(const std::string& name);

}  // namespace qrv::sim
