#include "webapi/records.h"

#include <utility>

#include "webapi/data_element_list.h"

namespace qrv {

std::string LineName(std::string_view type) {
  if (type == "0") return "电信";
  if (type == "1") return "网通";
  if (type == "2") return "双线";
  return {};
}

std::vector<ServerEntry> ReadServerList(std::string text) {
  DataElementList elements;
  elements.Load(std::move(text));
  std::vector<ServerEntry> servers;
  servers.reserve(elements.size());
  while (elements.Next()) {
    servers.push_back({
        .id = elements.Attribute("id"),
        .name = elements.Attribute("name"),
        .code = elements.Attribute("code"),
        .type = elements.Attribute("type"),
        .state = elements.Attribute("state"),
        .open_date = elements.Attribute("open_date"),
    });
  }
  return servers;
}

PlayerProfile ReadProfile(std::string text) {
  DataElementList elements;
  elements.Load(std::move(text));
  if (!elements.Next()) return {};
  return {
      .id = elements.Attribute("id"),
      .code = elements.Attribute("code"),
      .vip = elements.Attribute("vip"),
      .uid = elements.Attribute("uid"),
      .uid_type = elements.Attribute("uid_type"),
      .nick = elements.Attribute("nick"),
      .credits = elements.Attribute("credits"),
      .balance = elements.Attribute("balance"),
      .played = elements.Attribute("played"),
  };
}

std::vector<NewsItem> ReadNewsList(std::string text) {
  DataElementList elements;
  elements.Load(std::move(text));
  std::vector<NewsItem> news;
  news.reserve(elements.size());
  while (elements.Next()) {
    news.push_back({
        .title = elements.Attribute("title"),
        .add_date = elements.Attribute("add_date"),
        .url = elements.Attribute("url"),
    });
  }
  return news;
}

}  // namespace qrv
