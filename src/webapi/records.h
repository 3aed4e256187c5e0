#pragma once
// The records the platform's data element responses describe, and their readers. The readers
// take text already in the program's code page (the web interface converts responses from UTF-8
// on arrival).

#include <string>
#include <string_view>
#include <vector>

namespace qrv {

// One game server of the server list response.
struct ServerEntry {
  std::string id;         // the profile's "played" list refers to servers by this value
  std::string name;       // display name with a bracketed label, "玄岚城[12服]"
  std::string code;       // the game page address is built from it
  std::string type;       // network line: "0" 电信, "1" 网通, "2" 双线
  std::string state;      // "3": recommended button disabled; "4": passed over as first entry
  std::string open_date;  // shown by the server list window
  friend bool operator==(const ServerEntry&, const ServerEntry&) = default;
};

// "电信", "网通" or "双线" for a server's types "0", "1" and "2"; empty for any other type.
std::string LineName(std::string_view type);

// The logged-in player, from the first element of the profile response.
struct PlayerProfile {
  std::string id;
  std::string code;
  std::string vip;
  std::string uid;
  std::string uid_type;
  std::string nick;
  std::string credits;
  std::string balance;
  std::string played;  // ids of the servers played on, separated by "|", in the platform's order
  friend bool operator==(const PlayerProfile&, const PlayerProfile&) = default;
};

// One entry of the game's news list.
struct NewsItem {
  std::string title;
  std::string add_date;
  std::string url;
  friend bool operator==(const NewsItem&, const NewsItem&) = default;
};

// A ServerEntry for every element, in the order of the response.
std::vector<ServerEntry> ReadServerList(std::string text);

// The first element only; every field empty when there is none.
PlayerProfile ReadProfile(std::string text);

// A NewsItem for every element, in the order of the response.
std::vector<NewsItem> ReadNewsList(std::string text);

}  // namespace qrv
