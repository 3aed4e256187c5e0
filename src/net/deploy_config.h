#pragma once
// Deployment values: the platform's host names, the outside customer-service page and the chat
// server. They come from deployment files (same file rules as the settings file): "data/deploy.ini"
// beside a portable program; /etc/zelto-qrv/deploy.ini and then the player's own one for an
// installed program. Anything missing keeps its built-in default. A host may carry ":port".

#include <string>
#include <string_view>
#include <vector>

namespace qrv {

struct DeployConfig {
  std::string site = "www.zelto.com";              // login, heartbeat, follow-up visit, game page
  std::string interface = "interface.zelto.com";   // profile, server list, exit notice
  std::string game = "qrv.zelto.com";              // news list, home page, news page
  std::string stat = "stat.zelto.com";             // statistics beacon
  std::string account = "account.zelto.com";       // account host of the pay page (https)
  std::string forum = "bbs.zelto.com";             // platform forum
  std::string pay = "pay.zelto.com";               // payment site
  std::string domain = "zelto.com";                // cookie domain of the follow-up visit
  std::string service = "http://kf.zelto.com/";    // outside customer-service page
  std::string chat_host = "kf.zelto.com";          // customer-service chat server
  int chat_port = 8008;

  // Reads `path`; a missing file or key keeps the default above.
  static DeployConfig Load(const std::string& path);
  // Reads `paths` in order: each key a file holds replaces the value before it, so a later file
  // changes only the keys it names.
  static DeployConfig Load(const std::vector<std::string>& paths);

  // Replaces the values of the keys `path` holds.
  void Overlay(const std::string& path);
};

// Splits "host[:port]" into its parts; the port is `default_port` when absent or not a number
// in 1..65535.
struct HostPort {
  std::string host;
  int port;
};
HostPort SplitHostPort(const std::string& value, int default_port = 80);

// "http://<host><path>": a page of one of the deployment's hosts ("" for the site itself).
std::string HttpAddress(const std::string& host, std::string_view path);

}  // namespace qrv
