#include "net/deploy_config.h"

#include <charconv>

#include "platform/profile_file.h"

namespace qrv {
namespace {

void ReadHost(const std::string& path, const char* section, const char* key, std::string& value) {
  value = GetPrivateProfileString(section, key, value, path);
}

}  // namespace

DeployConfig DeployConfig::Load(const std::string& path) { return Load(std::vector<std::string>{path}); }

DeployConfig DeployConfig::Load(const std::vector<std::string>& paths) {
  DeployConfig config;
  for (const std::string& path : paths) config.Overlay(path);
  return config;
}

void DeployConfig::Overlay(const std::string& path) {
  // Each read falls back to the value held so far, so a key the file lacks keeps it.
  ReadHost(path, "hosts", "site", site);
  ReadHost(path, "hosts", "interface", interface);
  ReadHost(path, "hosts", "game", game);
  ReadHost(path, "hosts", "stat", stat);
  ReadHost(path, "hosts", "account", account);
  ReadHost(path, "hosts", "forum", forum);
  ReadHost(path, "hosts", "pay", pay);
  ReadHost(path, "hosts", "domain", domain);
  ReadHost(path, "hosts", "service", service);
  ReadHost(path, "chat", "host", chat_host);
  const int port = GetPrivateProfileInt("chat", "port", chat_port, path);
  if (port > 0 && port < 65536) chat_port = port;
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
