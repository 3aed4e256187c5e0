#include "sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>
#include <thread>

extern char** environ;

namespace qrv::sim {
namespace {

using Clock = std::chrono::steady_clock;

std::string InDir(const std::string& dir, const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  return dir + "/" + path;
}

// Reads one line from `fd` until `deadline`; false on end of file, error or time-out.
bool ReadLine(int fd, Clock::time_point deadline, std::string& line) {
  line.clear();
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd entry{fd, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    if (c == '\n') return true;
    line.push_back(c);
  }
}

// Waits for `pid` until `deadline`; returns the wait status, or nothing on time-out.
bool WaitUntil(pid_t pid, Clock::time_point deadline, int& status) {
  while (true) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) {
      status = 0;
      return true;
    }
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

std::string SimBinaryPath() { return QRV_SIM_BINARY; }
std::string DefaultSimDataPath() { return QRV_SIM_DEFAULT_DATA; }
std::string TestCertificatePath(const std::string& name) {
  return std::string(QRV_TEST_CERTIFICATES) + "/" + name;
}

std::unique_ptr<SimProcess> SimProcess::Start(const SimOptions& options, std::string& error) {
  if (options.work_dir.empty()) {
    error = "SimOptions::work_dir is required";
    return nullptr;
  }
  std::unique_ptr<SimProcess> sim(new SimProcess());
  sim->log_path_ = options.work_dir + "/sim_log.jsonl";
  sim->deploy_path_ = InDir(options.work_dir, options.deploy_path);

  std::vector<std::string> args = {SimBinaryPath(),
                                   "--data",
                                   options.data_file.empty() ? DefaultSimDataPath() : options.data_file,
                                   "--log",
                                   sim->log_path_,
                                   "--port",
                                   std::to_string(options.port),
                                   "--chat-port",
                                   std::to_string(options.chat_port),
                                   "--exit-with-parent"};
  if (!sim->deploy_path_.empty()) {
    args.push_back("--deploy-out");
    args.push_back(sim->deploy_path_);
  }
  if (!options.tls_certificate.empty()) {
    args.insert(args.end(), {"--tls-cert", options.tls_certificate, "--tls-key", options.tls_key});
    if (!options.tls_authority.empty()) args.insert(args.end(), {"--tls-ca", options.tls_authority});
  }
  args.insert(args.end(), options.extra_args.begin(), options.extra_args.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  // With TLS the simulator loads GLib's TLS module, whose thread's dynamic TLS block the leak
  // checker of sanitizer builds cannot walk (it crashes at exit): leak checking is off for it, and
  // so are the slow full stacks of every allocation that only leak reports would use (a
  // handshake allocates a lot).
  const bool tls = !options.tls_certificate.empty();
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (!tls || (text.rfind("ASAN_OPTIONS=", 0) != 0 && text.rfind("LSAN_OPTIONS=", 0) != 0))
      environment.emplace_back(text);
  }
  if (tls) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    environment.push_back(std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") +
                          ":detect_leaks=0:fast_unwind_on_malloc=1");
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const int spawned = posix_spawn(&sim->pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (spawned != 0) {
    close(pipe_fds[0]);
    sim->pid_ = -1;
    error = "cannot start " + args[0] + ": " + std::strerror(spawned);
    return nullptr;
  }

  // Two lines: the HTTP port, then the chat port.
  const auto deadline = Clock::now() + options.start_timeout;
  std::string line;
  std::string chat_line;
  constexpr std::string_view kPrefix = "listening on 127.0.0.1:";
  constexpr std::string_view kChatPrefix = "chat on 127.0.0.1:";
  if (ReadLine(pipe_fds[0], deadline, line) && line.compare(0, kPrefix.size(), kPrefix) == 0 &&
      ReadLine(pipe_fds[0], deadline, chat_line) &&
      chat_line.compare(0, kChatPrefix.size(), kChatPrefix) == 0) {
    sim->port_ = std::atoi(line.c_str() + kPrefix.size());
    sim->chat_port_ = std::atoi(chat_line.c_str() + kChatPrefix.size());
  }
  // With TLS, a third line gives its port.
  constexpr std::string_view kTlsPrefix = "tls on 127.0.0.1:";
  std::string tls_line;
  if (!options.tls_certificate.empty() && sim->chat_port_ > 0 &&
      (!ReadLine(pipe_fds[0], deadline, tls_line) ||
       tls_line.compare(0, kTlsPrefix.size(), kTlsPrefix) != 0)) {
    sim->chat_port_ = 0;
  } else if (!tls_line.empty()) {
    sim->tls_port_ = std::atoi(tls_line.c_str() + kTlsPrefix.size());
  }
  close(pipe_fds[0]);
  if (sim->port_ <= 0 || sim->chat_port_ <= 0) {
    const int code = sim->Stop(SIGKILL);
    error = "qrv_sim did not start (lines \"" + line + "\", \"" + chat_line + "\", exit code " +
            std::to_string(code) + ")";
    return nullptr;
  }
  return sim;
}

SimProcess::~SimProcess() {
  if (running()) Stop(SIGTERM);
}

std::string SimProcess::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string SimProcess::base_url() const { return "http://" + host(); }

std::vector<std::string> SimProcess::LogLines() const {
  std::vector<std::string> lines;
  std::ifstream file(log_path_);
  // A line still being written has no newline yet and is left out until it is complete.
  const std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  for (auto end = contents.find('\n'); end != std::string::npos; end = contents.find('\n', start)) {
    lines.push_back(contents.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool SimProcess::SuspendChat(std::chrono::milliseconds timeout) {
  return SignalAndWait(SIGUSR1, "\"chat_stopped\"", timeout);
}

bool SimProcess::ResumeChat(std::chrono::milliseconds timeout) {
  return SignalAndWait(SIGUSR2, "\"chat_listening\"", timeout);
}

bool SimProcess::SignalAndWait(int signal, const std::string& event, std::chrono::milliseconds timeout) {
  if (!running()) return false;
  auto count = [&] {
    int found = 0;
    for (const std::string& line : LogLines()) found += line.find(event) != std::string::npos ? 1 : 0;
    return found;
  };
  const int before = count();
  kill(pid_, signal);
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (count() > before) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

int SimProcess::Stop(int signal, std::chrono::milliseconds timeout) {
  if (!running()) return -1;
  kill(pid_, signal);
  int status = 0;
  if (!WaitUntil(pid_, Clock::now() + timeout, status)) {
    kill(pid_, SIGKILL);
    WaitUntil(pid_, Clock::now() + std::chrono::seconds(5), status);
  }
  pid_ = -1;
  return ExitCode(status);
}

}  // namespace qrv::sim
