#include "sim/pages.h"

#include "sim/page_parts.h"

namespace qrv::sim {
namespace {

Response HomePage(const PageContext& context) {
  std::string body = "<h1>" + std::string(kGameName) + "官方网站</h1>" + ViewerLine(context) + SiteLinks();
  body += "<ul id=\"latest\">";
  for (const NewsItem& item : context.data.news) {
    body += "<li><a href=\"" + HtmlEscape(ExpandUrl(item.url, context.base)) + "\">" +
            HtmlEscape(item.title) + "</a> " + HtmlEscape(item.add_date) + "</li>";
  }
  body += "</ul>";
  Response response = Html(200, std::string(kGameName) + "官方网站", body, "home");
  // The launcher visits the site root right after a successful login to pick up the site's
  // cookies; this one lets tests see that the visit happened and that cookies are shared.
  response.set_cookies.push_back("qrv_site=1; path=/");
  return response;
}

Response NewsListPage(const PageContext& context) {
  std::string body = "<h1>新闻公告</h1><ul id=\"news-list\">";
  for (const NewsItem& item : context.data.news) {
    body += "<li><a href=\"" + HtmlEscape(ExpandUrl(item.url, context.base)) + "\">" +
            HtmlEscape(item.title) + "</a> <span>" + HtmlEscape(item.add_date) + "</span></li>";
  }
  body += "</ul>" + SiteLinks();
  return Html(200, "新闻公告", body, "news_list");
}

// A news url names a page of this simulator when it starts with "{base}"; its path is the rest.
const NewsItem* FindArticle(const PageContext& context, const std::string& path) {
  for (const NewsItem& item : context.data.news) {
    const std::string url = ExpandUrl(item.url, context.base);
    if (url.size() > context.base.size() && url.compare(0, context.base.size(), context.base) == 0 &&
        url.substr(context.base.size()) == path) {
      return &item;
    }
  }
  return nullptr;
}

Response NotFound(const Request& request) {
  Response response = Html(404, "404 Not Found",
                           "<h1>404 Not Found</h1><p>" + HtmlEscape(request.path) + "</p>", "not_found");
  return response;
}

}  // namespace

std::string HtmlEscape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped.push_back(c);
    }
  }
  return escaped;
}

std::string ExpandUrl(const std::string& url, const std::string& base) {
  constexpr std::string_view kPlaceholder = "{base}";
  std::string expanded = url;
  for (auto at = expanded.find(kPlaceholder); at != std::string::npos;
       at = expanded.find(kPlaceholder, at + base.size())) {
    expanded.replace(at, kPlaceholder.size(), base);
  }
  return expanded;
}

Response ServePage(const PageContext& context, const Request& request) {
  const std::vector<std::string> segments = Segments(request.path);
  if (segments.empty()) return HomePage(context);
  if (StartsWith(segments, {"joinGame", "code"}) && segments.size() >= 3)
    return GamePage(context, segments[2]);
  if (StartsWith(segments, {"joinGame", "panel"})) return GamePanel(SegmentAt(segments, 2));
  if (StartsWith(segments, {"joinGame", "storage"})) return GameStorageReport(request);
  if (StartsWith(segments, {"pay", "g", "qrv"})) return PayPage(context, segments);
  if (StartsWith(segments, {"register"})) {
    return Html(200, "注册账号",
                "<h1>注册" + std::string(kGameName) +
                    "账号</h1><form action=\"/register/\">账号 <input name=\"account\">"
                    " 密码 <input name=\"password\" type=\"password\"> <button>注册</button></form>" +
                    SiteLinks(),
                "register");
  }
  if (StartsWith(segments, {"forum-544-1.html"})) {
    return Html(200, "玩家论坛",
                "<h1>" + std::string(kGameName) + "玩家论坛</h1>" + ViewerLine(context) +
                    "<ul><li><a href=\"/forum-544-1.html\">新手攻略汇总</a></li>"
                    "<li><a href=\"/forum-544-1.html\">跨服战心得</a></li></ul>" +
                    SiteLinks(),
                "forum");
  }
  if (StartsWith(segments, {"boxfeedback"})) {
    Response response =
        Html(200, "问题反馈",
             "<h1>问题反馈</h1><p id=\"feedback-user\">反馈账号：" + HtmlEscape(SegmentAt(segments, 4)) +
                 "</p><form action=\"/boxfeedback/\"><textarea name=\"text\"></textarea>"
                 "<button>提交</button></form>",
             "feedback");
    response.details.emplace_back("account", SegmentAt(segments, 4));
    return response;
  }
  if (StartsWith(segments, {"service"})) {
    return Html(200, "客服中心",
                "<h1>" + std::string(kGameName) + "客服中心</h1>" + ViewerLine(context) +
                    "<p>在线时间 9:00-23:00</p><p><a id=\"service-faq\" href=\"/service/\">常见问题</a></p>",
                "service");
  }
  if (StartsWith(segments, {"xwgg", "list-1314.htm"})) return NewsListPage(context);
  if (const NewsItem* item = FindArticle(context, request.path)) {
    return Html(200, item->title,
                "<h1 id=\"title\">" + HtmlEscape(item->title) + "</h1><p id=\"date\">" +
                    HtmlEscape(item->add_date) + "</p><div class=\"box\">" +
                    HtmlEscape(item->body.empty() ? item->title : item->body) + "</div>" + SiteLinks(),
                "news_article");
  }
  return NotFound(request);
}

}  // namespace qrv::sim
