#include "sim/page_parts.h"

namespace qrv::sim {

std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> segments;
  std::string current;
  for (char c : path) {
    if (c == '/') {
      if (!current.empty()) segments.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) segments.push_back(std::move(current));
  return segments;
}

// Segment `index` of a path, or "" when the path is shorter.
std::string SegmentAt(const std::vector<std::string>& segments, std::size_t index) {
  return index < segments.size() ? segments[index] : std::string();
}

bool StartsWith(const std::vector<std::string>& segments, std::initializer_list<std::string_view> prefix) {
  if (segments.size() < prefix.size()) return false;
  std::size_t i = 0;
  for (std::string_view expected : prefix) {
    if (segments[i++] != expected) return false;
  }
  return true;
}

Response Html(int status, const std::string& title, const std::string& body, const std::string& page) {
  Response response;
  response.status = status;
  response.content_type = "text/html; charset=utf-8";
  response.body = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
                  HtmlEscape(title) +
                  "</title><style>body{font-family:sans-serif;margin:24px;background:#f4f1ea}"
                  "a{margin-right:12px}.box{background:#fff;padding:12px;border:1px solid #ccc}</style>"
                  "</head>\n<body>\n" +
                  body + "\n</body></html>\n";
  response.event = "page";
  response.details = {{"page", page}};
  return response;
}

std::string ViewerLine(const PageContext& context) {
  if (context.viewer == nullptr) return "<p id=\"account\">未登录</p>";
  return "<p id=\"account\" data-account=\"" + HtmlEscape(context.viewer->account) + "\">账号：" +
         HtmlEscape(context.viewer->account) + "（" + HtmlEscape(context.viewer->profile.nick) + "）</p>";
}

std::string LineName(const std::string& type) {
  if (type == "0") return "电信";
  if (type == "1") return "网通";
  if (type == "2") return "双线";
  return "未知线路";
}

std::string StateName(const std::string& state) {
  if (state == "3") return "维护中";
  if (state == "4") return "即将开放";
  return "正常";
}

std::string SiteLinks() {
  return "<p class=\"links\"><a id=\"home\" href=\"/\">首页</a><a id=\"news\" "
         "href=\"/xwgg/list-1314.htm\">新闻公告</a>"
         "<a id=\"forum\" href=\"/forum-544-1.html\" target=\"_blank\">论坛</a>"
         "<a id=\"pay\" href=\"/pay/g/qrv/\" target=\"_blank\">充值</a>"
         "<a id=\"service\" href=\"/service/\" target=\"_blank\">客服中心</a></p>";
}

}  // namespace qrv::sim
