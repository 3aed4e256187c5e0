#include "automation/automation_server.h"

#include <fcntl.h>
#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "automation/automation_connection.h"

namespace qrv {
namespace {

bool Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}

// Whether a program answers at the socket `path` (then it is not stale and must be left alone).
bool SomeoneListensAt(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answered;
}

// Clears the way for binding: a socket file left by a run that ended without cleaning up is
// removed; anything else at the path (a live server, a regular file) stays and is an error.
bool ClearStaleSocket(const std::string& path, std::string* error) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return true;
    return Fail(error, path + ": " + std::strerror(errno));
  }
  if (!S_ISSOCK(info.st_mode)) return Fail(error, path + " exists and is not a socket");
  if (SomeoneListensAt(path)) return Fail(error, "another program is listening at " + path);
  if (unlink(path.c_str()) != 0)
    return Fail(error, "cannot remove the stale socket " + path + ": " + std::strerror(errno));
  return true;
}

// Other users must not reach the socket: its folder must be this user's and closed to everybody
// else. The folder is opened and its open handle examined, so what is checked is a directory, not
// whatever a link pointed at a moment earlier.
bool FolderIsPrivate(const std::string& socket_path, std::string* error) {
  g_autofree gchar* folder = g_path_get_dirname(socket_path.c_str());
  const int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(error, std::string(folder) + ": " + std::strerror(errno));
  struct stat info {};
  const bool examined = fstat(fd, &info) == 0;
  close(fd);
  if (!examined) return Fail(error, std::string(folder) + ": " + std::strerror(errno));
  if (info.st_uid != geteuid() || (info.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    return Fail(error, std::string(folder) + " is open to other users (mode " + mode +
                           "): the automation socket needs a folder of mode 0700 of its own user");
  }
  return true;
}

// Binds `socket` at `address` with a file mode for this user alone (0600) from the moment the file
// exists: bind(2) makes the socket file 0777 less the umask, so a umask of 0177 (077 and no
// execute bit, which a socket has no use for) needs no chmod of the path, which could be swapped
// in between. The umask is process-wide; for the one call another thread creating a file would
// get stricter modes, never looser ones, and the program binds at start-up before it starts
// threads of its own. The private folder keeps other users out in any case.
gboolean BindPrivately(GSocket* socket, GSocketAddress* address, GError** error) {
  const mode_t previous = umask(0177);
  const gboolean bound = g_socket_bind(socket, address, FALSE, error);
  umask(previous);
  return bound;
}

gboolean OnIncoming(GSocketService*, GSocketConnection* connection, GObject*, gpointer cancellable) {
  automation::ServeConnection(connection, G_CANCELLABLE(cancellable));
  return TRUE;
}

}  // namespace

std::unique_ptr<AutomationServer> AutomationServer::StartFromEnvironment() {
  const char* path = std::getenv("QRV_AUTOMATION");
  if (path == nullptr || *path == '\0') return nullptr;
  std::string error;
  auto server = Listen(path, &error);
  if (!server) std::fprintf(stderr, "automation: %s\n", error.c_str());
  return server;
}

std::unique_ptr<AutomationServer> AutomationServer::Listen(const std::string& socket_path,
                                                           std::string* error) {
  if (socket_path.empty()) {
    Fail(error, "no socket path given");
    return nullptr;
  }
  if (socket_path.size() >= sizeof(sockaddr_un{}.sun_path)) {
    Fail(error, "socket path too long: " + socket_path);
    return nullptr;
  }
  if (!FolderIsPrivate(socket_path, error) || !ClearStaleSocket(socket_path, error)) return nullptr;

  g_autoptr(GError) gerror = nullptr;
  g_autoptr(GSocket) socket =
      g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_DEFAULT, &gerror);
  if (socket == nullptr) {
    Fail(error, std::string("cannot make a socket: ") + gerror->message);
    return nullptr;
  }
  g_autoptr(GSocketAddress) address = g_unix_socket_address_new(socket_path.c_str());
  if (!BindPrivately(socket, address, &gerror)) {
    Fail(error, "cannot bind " + socket_path + ": " + gerror->message);
    return nullptr;
  }
  auto server = std::unique_ptr<AutomationServer>(new AutomationServer());
  server->socket_path_ = socket_path;
  // The socket's identity, so that only this socket is removed at the end.
  struct stat info {};
  if (lstat(socket_path.c_str(), &info) != 0) {
    Fail(error, "cannot find the socket " + socket_path + ": " + std::strerror(errno));
    return nullptr;
  }
  server->socket_device_ = info.st_dev;
  server->socket_inode_ = info.st_ino;
  if (!g_socket_listen(socket, &gerror)) {
    Fail(error, "cannot listen at " + socket_path + ": " + gerror->message);
    return nullptr;  // the destructor removes the socket file
  }
  server->cancellable_ = g_cancellable_new();
  server->service_ = g_socket_service_new();
  if (!g_socket_listener_add_socket(G_SOCKET_LISTENER(server->service_), socket, nullptr, &gerror)) {
    Fail(error, "cannot listen at " + socket_path + ": " + gerror->message);
    return nullptr;
  }
  g_signal_connect_data(
      server->service_, "incoming", G_CALLBACK(OnIncoming), g_object_ref(server->cancellable_),
      [](gpointer data, GClosure*) { g_object_unref(data); }, GConnectFlags{});
  g_socket_service_start(server->service_);
  return server;
}

AutomationServer::~AutomationServer() {
  if (service_ != nullptr) {
    g_socket_service_stop(service_);
    g_socket_listener_close(G_SOCKET_LISTENER(service_));
    g_object_unref(service_);
  }
  if (cancellable_ != nullptr) {
    // Open connections end on the main context's next turn.
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
  }
  // Only our own socket is removed: another run may have taken the path over since.
  struct stat info {};
  if (!socket_path_.empty() && lstat(socket_path_.c_str(), &info) == 0 && info.st_dev == socket_device_ &&
      info.st_ino == socket_inode_) {
    unlink(socket_path_.c_str());
  }
}

int AutomationServer::OpenConnections() { return automation::LiveConnections(); }

}  // namespace qrv
