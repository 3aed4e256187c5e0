// qrv_sim: the platform simulator.
//
//   qrv_sim --data FILE --log FILE [--port N] [--deploy-out PATH] [--chat-port N]
//           [--chat-receive-buffer BYTES] [--exit-with-parent]
//           [--tls-cert FILE --tls-key FILE [--tls-port N] [--tls-ca FILE]]
//
// Serves HTTP and the customer-service chat on 127.0.0.1 (port 0, the default for both, takes any
// free port), prints "listening on 127.0.0.1:<port>" and then "chat on 127.0.0.1:<chat port>"
// once both accept connections, and runs until SIGTERM or SIGINT, after which it exits with 0.
// SIGUSR1 stops the chat server (its connections close, new ones are refused) and SIGUSR2 starts
// it again on the same port; HTTP runs on throughout. With --deploy-out it first writes a
// deployment file that points every platform host and the chat at itself. With --tls-cert and
// --tls-key it also serves HTTPS (the same platform) on --tls-port, prints a third line
// "tls on 127.0.0.1:<port>", and the deployment file names https hosts and, with --tls-ca, the
// authority that signed the certificate.

#include <glib-unix.h>
#include <glib.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "sim/chat_server.h"
#include "sim/deploy_file.h"
#include "sim/platform_data.h"
#include "sim/platform_server.h"
#include "sim/request_log.h"

namespace {

struct Options {
  std::string data_path;
  std::string log_path;
  std::string deploy_path;
  std::string tls_cert;
  std::string tls_key;
  std::string tls_ca;
  int tls_port = 0;
  int port = 0;
  int chat_port = 0;
  int chat_receive_buffer = 0;
  bool exit_with_parent = false;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  char* data_path = nullptr;
  char* log_path = nullptr;
  char* deploy_path = nullptr;
  char* tls_cert = nullptr;
  char* tls_key = nullptr;
  char* tls_ca = nullptr;
  int tls_port = 0;
  int port = 0;
  int chat_port = 0;
  int chat_receive_buffer = 0;
  gboolean exit_with_parent = FALSE;
  const GOptionEntry entries[] = {
      {"data", 0, 0, G_OPTION_ARG_FILENAME, &data_path, "Platform data file (JSON)", "FILE"},
      {"log", 0, 0, G_OPTION_ARG_FILENAME, &log_path, "Request log, one JSON object per line", "FILE"},
      {"port", 0, 0, G_OPTION_ARG_INT, &port, "Port on 127.0.0.1 (0: any free port)", "N"},
      {"deploy-out", 0, 0, G_OPTION_ARG_FILENAME, &deploy_path,
       "Write a deploy.ini pointing at the simulator", "PATH"},
      {"chat-port", 0, 0, G_OPTION_ARG_INT, &chat_port,
       "Port of the customer-service chat server on 127.0.0.1 (0: any free port)", "N"},
      {"tls-cert", 0, 0, G_OPTION_ARG_FILENAME, &tls_cert, "Certificate (PEM) of the HTTPS listener", "FILE"},
      {"tls-key", 0, 0, G_OPTION_ARG_FILENAME, &tls_key, "Private key (PEM) of the HTTPS listener", "FILE"},
      {"tls-port", 0, 0, G_OPTION_ARG_INT, &tls_port, "HTTPS port on 127.0.0.1 (0: any free port)", "N"},
      {"tls-ca", 0, 0, G_OPTION_ARG_FILENAME, &tls_ca, "Authority (PEM) to name as cafile in the deploy.ini",
       "FILE"},
      {"chat-receive-buffer", 0, 0, G_OPTION_ARG_INT, &chat_receive_buffer,
       "Receive buffer of each chat connection in bytes (0: the system's)", "BYTES"},
      {"exit-with-parent", 0, 0, G_OPTION_ARG_NONE, &exit_with_parent,
       "End (as on SIGTERM) when the process that started the simulator ends", nullptr},
      {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr}};
  g_autoptr(GOptionContext) context = g_option_context_new("- simulated game platform on loopback");
  g_option_context_add_main_entries(context, entries, nullptr);
  g_autoptr(GError) error = nullptr;
  const bool parsed = g_option_context_parse(context, &argc, &argv, &error);
  options.data_path = data_path != nullptr ? data_path : "";
  options.log_path = log_path != nullptr ? log_path : "";
  options.deploy_path = deploy_path != nullptr ? deploy_path : "";
  options.tls_cert = tls_cert != nullptr ? tls_cert : "";
  options.tls_key = tls_key != nullptr ? tls_key : "";
  options.tls_ca = tls_ca != nullptr ? tls_ca : "";
  options.tls_port = tls_port;
  options.port = port;
  options.chat_port = chat_port;
  options.chat_receive_buffer = chat_receive_buffer;
  options.exit_with_parent = exit_with_parent != FALSE;
  g_free(data_path);
  g_free(log_path);
  g_free(deploy_path);
  g_free(tls_cert);
  g_free(tls_key);
  g_free(tls_ca);
  if (!parsed) {
    std::fprintf(stderr, "qrv_sim: %s\n", error->message);
    return false;
  }
  if (options.data_path.empty() || options.log_path.empty()) {
    std::fprintf(stderr, "qrv_sim: --data and --log are required\n");
    return false;
  }
  if (options.tls_cert.empty() != options.tls_key.empty()) {
    std::fprintf(stderr, "qrv_sim: --tls-cert and --tls-key go together\n");
    return false;
  }
  if (options.port < 0 || options.port > 65535 || options.chat_port < 0 || options.chat_port > 65535 ||
      options.tls_port < 0 || options.tls_port > 65535) {
    std::fprintf(stderr, "qrv_sim: ports must lie in 0..65535\n");
    return false;
  }
  return true;
}

gboolean QuitLoop(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_CONTINUE;
}

gboolean StopChat(gpointer chat) {
  static_cast<qrv::sim::ChatServer*>(chat)->Suspend();
  return G_SOURCE_CONTINUE;
}

gboolean RestartChat(gpointer chat) {
  auto* server = static_cast<qrv::sim::ChatServer*>(chat);
  std::string error;
  if (!server->Resume(error))
    std::fprintf(stderr, "qrv_sim: cannot listen on 127.0.0.1:%d again: %s\n", server->port(), error.c_str());
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
  // A client that hangs up mid-response must not kill the server.
  std::signal(SIGPIPE, SIG_IGN);

  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (options.exit_with_parent) {
    // A test that is killed cannot stop its simulator; the simulator then ends by itself. (The
    // parent may have gone before this line: then the simulator has been handed to init already.)
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return 0;
  }

  std::string error;
  auto data = qrv::sim::LoadPlatformData(options.data_path, error);
  if (!data) {
    std::fprintf(stderr, "qrv_sim: %s: %s\n", options.data_path.c_str(), error.c_str());
    return 1;
  }
  qrv::sim::RequestLog log;
  if (!log.Open(options.log_path, error)) {
    std::fprintf(stderr, "qrv_sim: %s\n", error.c_str());
    return 1;
  }

  g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
  {
    qrv::sim::ChatServer chat(data->chat, log);
    chat.SetReceiveBuffer(options.chat_receive_buffer);
    qrv::sim::PlatformServer server(std::move(*data), log);
    server.SetChatPusher([&chat](std::uint64_t accept, std::uint64_t agent, const std::string& text) {
      return chat.Push(accept, agent, text);
    });
    if (!server.Listen(options.port, error)) {
      std::fprintf(stderr, "qrv_sim: cannot listen on 127.0.0.1:%d: %s\n", options.port, error.c_str());
      return 1;
    }
    if (!options.tls_cert.empty() &&
        !server.ListenTls(options.tls_port, options.tls_cert, options.tls_key, error)) {
      std::fprintf(stderr, "qrv_sim: cannot listen for HTTPS on 127.0.0.1:%d: %s\n", options.tls_port,
                   error.c_str());
      return 1;
    }
    if (!chat.Listen(options.chat_port, error)) {
      std::fprintf(stderr, "qrv_sim: cannot listen for chat on 127.0.0.1:%d: %s\n", options.chat_port,
                   error.c_str());
      return 1;
    }
    if (!options.deploy_path.empty() &&
        !qrv::sim::WriteDeployFile(options.deploy_path, server.port(), chat.port(), error,
                                   qrv::sim::TlsDeploy{server.tls_port(), options.tls_ca})) {
      std::fprintf(stderr, "qrv_sim: %s: %s\n", options.deploy_path.c_str(), error.c_str());
      return 1;
    }
    const guint term_source = g_unix_signal_add(SIGTERM, QuitLoop, loop);
    const guint int_source = g_unix_signal_add(SIGINT, QuitLoop, loop);
    const guint stop_chat_source = g_unix_signal_add(SIGUSR1, StopChat, &chat);
    const guint restart_chat_source = g_unix_signal_add(SIGUSR2, RestartChat, &chat);
    std::printf("listening on 127.0.0.1:%d\nchat on 127.0.0.1:%d\n", server.port(), chat.port());
    if (server.tls_port() > 0) std::printf("tls on 127.0.0.1:%d\n", server.tls_port());
    std::fflush(stdout);
    g_main_loop_run(loop);
    g_source_remove(term_source);
    g_source_remove(int_source);
    g_source_remove(stop_chat_source);
    g_source_remove(restart_chat_source);
  }
  log.Close();
  return 0;
}
