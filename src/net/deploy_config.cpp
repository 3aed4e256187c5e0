#include "net/deploy_config.h"

#include <glib.h>

#include <charconv>

#include "platform/profile_file.h"

namespace qrv {
namespace {

constexpr char kHttp[] = "http://";
constexpr std::size_t kHttpLength = sizeof kHttp - 1;
constexpr char kHttps[] = "https://";
constexpr std::size_t kHttpsLength = sizeof kHttps - 1;

HostPort SplitBareHostPort(const std::string& value, int default_port) {
  // "[::1]:8080" keeps its brackets in the host, as URLs need them.
  const auto colon = value.rfind(':');
  const auto bracket = value.rfind(']');
  if (colon == std::string::npos || (bracket != std::string::npos && bracket > colon)) {
    return {value, default_port, false};
  }
  int port = 0;
  const char* first = value.data() + colon + 1;
  const char* last = value.data() + value.size();
  const auto [end, ec] = std::from_chars(first, last, port);
  if (ec != std::errc() || end != last || port <= 0 || port > 65535)
    return {value.substr(0, colon), default_port, false};
  return {value.substr(0, colon), port, false};
}

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
  // A private authority's file named relative to a deployment file lies beside that file.
  std::string file_cafile;
  ReadHost(path, "hosts", "cafile", file_cafile);
  if (!file_cafile.empty()) {
    if (!g_path_is_absolute(file_cafile.c_str())) {
      g_autofree gchar* folder = g_path_get_dirname(path.c_str());
      g_autofree gchar* full = g_build_filename(folder, file_cafile.c_str(), nullptr);
      file_cafile = full;
    }
    cafile = file_cafile;
  }
}

bool IsHttpsHost(const std::string& value) {
  return g_ascii_strncasecmp(value.c_str(), kHttps, kHttpsLength) == 0;
}

std::string HostWithoutScheme(const std::string& value) {
  std::string host = value;
  if (IsHttpsHost(value)) {
    host.erase(0, kHttpsLength);
  } else if (g_ascii_strncasecmp(value.c_str(), kHttp, kHttpLength) == 0) {
    host.erase(0, kHttpLength);
  }
  // "https://host/" names the same host as "https://host".
  while (!host.empty() && host.back() == '/') host.pop_back();
  return host;
}

std::string HttpAddress(const std::string& host, std::string_view path) {
  std::string address = (IsHttpsHost(host) ? kHttps : kHttp) + HostWithoutScheme(host);
  address += path;
  return address;
}

HostPort SplitHostPort(const std::string& given, int default_port) {
  const bool https = IsHttpsHost(given);
  if (https) default_port = 443;
  const std::string value = HostWithoutScheme(given);
  HostPort split = SplitBareHostPort(value, default_port);
  split.https = https;
  return split;
}

}  // namespace qrv
