#pragma once
// Deployment values: the platform's host names, the outside customer-service page and the chat
// server. They come from deployment files (same file rules as the settings file): "data/deploy.ini"
// beside a portable program; /etc/zelto-qrv/deploy.ini and then the player's own one for an
// installed program. Anything missing keeps its built-in default. A host may carry ":port", and a
// scheme: "https://host[:port]" is reached over TLS, a host without one over plain HTTP.

#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct DeployConfig {
  std::string site = "www.zelto.com";             // login, heartbeat, follow-up visit, game page
  std::string interface = "interface.zelto.com";  // profile, server list, exit notice
  std::string game = "qrv.zelto.com";             // news list, home page, news page
  std::string stat = "stat.zelto.com";            // statistics beacon
  std::string account = "account.zelto.com";      // account host of the pay page (https)
  std::string forum = "bbs.zelto.com";            // platform forum
  std::string pay = "pay.zelto.com";              // payment site
  std::string domain = "zelto.com";               // cookie domain of the follow-up visit
  std::string service = "http://kf.zelto.com/";   // outside customer-service page
  std::string chat_host = "kf.zelto.com";         // customer-service chat server
  int chat_port = 8008;
  // Certificates of the authorities that sign a private platform's hosts (PEM), in place of the
  // system's store; empty for the system's store. A relative path is taken from deploy.ini's folder.
  std::string cafile;

  // Reads `path`; a missing file or key keeps the default above.
  static DeployConfig Load(const std::string& path);
  // Reads `paths` in order: each key a file holds replaces the value before it, so a later file
  // changes only the keys it names.
  static DeployConfig Load(const std::vector<std::string>& paths);

  // Replaces the values of the keys `path` holds.
  void Overlay(const std::string& path);
};

// Splits "[http://|https://]host[:port]" into its parts; the port is `default_port` (443 with
// "https://") when absent or not a number in 1..65535.
struct HostPort {
  std::string host;
  int port;
  bool https = false;
};
HostPort SplitHostPort(const std::string& value, int default_port = 80);

// Whether a deployment host is reached over TLS ("https://host").
bool IsHttpsHost(const std::string& value);
// The host without its scheme: "host[:port]".
std::string HostWithoutScheme(const std::string& value);

// "<scheme>://<host><path>": a page of one of the deployment's hosts ("" for the site itself), in
// the host's scheme (http when it names none).
std::string HttpAddress(const std::string& host, std::string_view path);

}  // namespace qrv
