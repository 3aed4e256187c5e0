#include "sim/deploy_file.h"

#include <glib.h>

namespace qrv::sim {

std::string DeployFileText(int port, int chat_port, const TlsDeploy& tls) {
  const std::string host =
      tls.port > 0 ? "https://127.0.0.1:" + std::to_string(tls.port) : "127.0.0.1:" + std::to_string(port);
  // No comment line: the launcher's reader and GKeyFile disagree on comment characters.
  std::string text = "[hosts]\n";
  for (const char* key : {"site", "interface", "game", "stat", "account", "forum", "pay"}) {
    text += std::string(key) + "=" + host + "\n";
  }
  text += "domain=127.0.0.1\n";
  text += "service=" + std::string(tls.port > 0 ? "" : "http://") + host + "/service/\n";
  if (!tls.cafile.empty()) text += "cafile=" + tls.cafile + "\n";
  text += "[chat]\nhost=127.0.0.1\nport=" + std::to_string(chat_port) + "\n";
  return text;
}

bool WriteDeployFile(const std::string& path, int port, int chat_port, std::string& error,
                     const TlsDeploy& tls) {
  g_autofree char* folder = g_path_get_dirname(path.c_str());
  if (g_mkdir_with_parents(folder, 0755) != 0) {
    error = std::string("cannot create ") + folder;
    return false;
  }
  const std::string text = DeployFileText(port, chat_port, tls);
  g_autoptr(GError) write_error = nullptr;
  if (!g_file_set_contents(path.c_str(), text.data(), static_cast<gssize>(text.size()), &write_error)) {
    error = write_error->message;
    return false;
  }
  return true;
}

}  // namespace qrv::sim
