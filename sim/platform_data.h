#pragma once
// What the simulated platform knows: accounts with their profiles, the game's servers and its
// news. Loaded once from a JSON data file (see sim/data/platform.json for the shape); values may
// be written as JSON strings or numbers and are kept as text, as the platform sends them.

#include <optional>
#include <string>
#include <vector>

#include "sim/chat_data.h"

namespace qrv::sim {

struct Profile {
  std::string id;
  std::string code;
  std::string vip;
  std::string uid;
  std::string uid_type;
  std::string nick;
  std::string credits;
  std::string balance;
  std::string played;  // server ids separated by "|"
};

struct Account {
  std::string account;
  std::string password;
  Profile profile;
};

struct Server {
  std::string id;
  std::string name;
  std::string code;
  std::string type;   // "0" 电信, "1" 网通, "2" 双线
  std::string state;  // "3" maintenance, "4" not yet open, others normal
  std::string open_date;
};

struct NewsItem {
  std::string title;
  std::string add_date;
  std::string url;   // "{base}" stands for "http://127.0.0.1:<port>"
  std::string body;  // shown on the article page; optional
};

struct PlatformData {
  std::vector<Account> accounts;
  std::vector<Server> servers;
  std::vector<NewsItem> news;
  ChatData chat;  // the customer-service chat server

  const Account* FindAccount(const std::string& account) const;
  const Account* FindAccountByProfileId(const std::string& id) const;
  const Server* FindServerByCode(const std::string& code) const;
};

// Parses the JSON text of a data file. On failure returns nothing and puts the reason in `error`.
std::optional<PlatformData> ParsePlatformData(const std::string& json_text, std::string& error);
std::optional<PlatformData> LoadPlatformData(const std::string& path, std::string& error);

}  // namespace qrv::sim
