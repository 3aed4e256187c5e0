#include "net/deploy_config.h"

#include <charconv>

#include "platform/profile_file.h"

namespace qrv {
namespace {

void ReadHost(const std::string& path, const char* section, const char* key, std::string& value) {
  value = GetPrivateProfileString(section, key, value, path);
}

}  // namespace

DeployConfig DeployConfig::Load(const std::string& path) {
  DeployConfig config;
  ReadHost(path, "hosts", "site", config.site);
  ReadHost(path, "hosts", "interface", config.interface);
  ReadHost(path, "hosts", "game", config.game);
  ReadHost(path, "hosts", "stat", config.stat);
  ReadHost(path, "hosts", "account", config.account);
  ReadHost(path, "hosts", "forum", config.forum);
  ReadHost(path, "hosts", "pay", config.pay);
  ReadHost(path, "hosts", "domain", config.domain);
  ReadHost(path, "hosts", "service", config.service);
  ReadHost(path, "chat", "host", config.chat_host);
  const int port = GetPrivateProfileInt("chat", "port", config.chat_port, path);
  if (port > 0 && port < 65536) config.chat_port = port;
  return config;
}

std::string HttpAddress(const std::string& host, std::string_view path) {
  std::string address = "http://" + host;
  address += path;
  return address;
}

HostPort SplitHostPort(const std::string& value, int default_port) {
  // "[::1]:8080" keeps its brackets in the host, as URLs need them.
  const auto colon = value.rfind(':');
  const auto bracket = value.rfind(']');
  if (colon == std::string::npos || (bracket != std::string::npos && bracket > colon)) {
    return {value, default_port};
  }
  int port = 0;
  const char* first = value.data() + colon + 1;
  const char* last = value.data() + value.size();
  const auto [end, ec] = std::from_chars(first, last, port);
  if (ec != std::errc() || end != last || port <= 0 || port > 65535) return {value.substr(0, colon), default_port};
  return {value.substr(0, colon), port};
}

}  // namespace qrv
