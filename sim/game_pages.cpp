// The game page the main frame shows, with a tool panel in a frame, and the pay page.

#include "sim/page_parts.h"

namespace qrv::sim {

Response GamePage(const PageContext& context, const std::string& code) {
  const Server* server = context.data.FindServerByCode(code);
  if (server == nullptr) {
    Response response = Html(404, "服务器不存在",
                             "<h1>服务器不存在</h1><p id=\"server\">找不到服务器代码 " + HtmlEscape(code) +
                                 "</p>" + ViewerLine(context),
                             "game");
    response.details.emplace_back("code", code);
    return response;
  }
  const std::string escaped_code = HtmlEscape(server->code);
  std::string body = "<h1>" + std::string(kGameName) + " · " + HtmlEscape(server->name) + "</h1>\n";
  body += "<p id=\"server\" data-code=\"" + escaped_code + "\" data-id=\"" + HtmlEscape(server->id) +
          "\">服务器：" + HtmlEscape(server->name) + "（" + LineName(server->type) + "，" +
          StateName(server->state) + "）</p>\n";
  body += ViewerLine(context) + "\n";
  body += "<div class=\"box\" id=\"game\" style=\"height:240px\">游戏画面</div>\n";
  body += "<p><a id=\"enter\" href=\"/joinGame/code/" + escaped_code +
          "/gamebarhide/1/?enter=1\"><span>进入游戏</span></a>"
          "<a id=\"recharge\" href=\"/pay/g/qrv/\" target=\"_blank\">充值</a>"
          "<a id=\"bbs\" href=\"/forum-544-1.html\" target=\"_blank\">论坛</a></p>\n";
  body += "<iframe id=\"panel\" src=\"/joinGame/panel/" + escaped_code +
          "/\" width=\"480\" height=\"80\"></iframe>\n";
  // The game keeps the player's settings in the browser's local storage, as web games do, and
  // reports what it found there: the first visit stores a value, every later one should find it.
  body +=
      "<script>(function(){var key='qrv_game_settings';var found=localStorage.getItem(key);"
      "var kept=found;if(kept===null){kept='quality-high-'+Date.now();localStorage.setItem(key,kept);}"
      "fetch('/joinGame/storage/?found='+encodeURIComponent(found===null?'':found)+"
      "'&kept='+encodeURIComponent(kept));})();</script>";
  if (context.game_page_downloads) {
    // A hostile page: it clicks a download link of its own and loads a file into a frame.
    body +=
        "\n<a id=\"download\" href=\"/__sim/download.bin\" download=\"qrv-download.bin\">下载</a>"
        "<iframe id=\"download-frame\" src=\"/__sim/download.bin?frame=1\" width=\"10\" "
        "height=\"10\"></iframe>"
        "<script>document.getElementById('download').click();</script>";
  }
  Response response = Html(200, std::string(kGameName) + " - " + server->name, body, "game");
  response.details.emplace_back("code", code);
  return response;
}

Response GameStorageReport(const Request& request) {
  Response response;
  response.status = 204;
  response.event = "game_storage";
  response.details = {{"found", FindValue(request.query, "found").value_or("")},
                      {"kept", FindValue(request.query, "kept").value_or("")}};
  return response;
}

Response GamePanel(const std::string& code) {
  return Html(200, "游戏工具栏",
              "<p id=\"panel\">工具栏 <a id=\"panel-news\" href=\"/xwgg/list-1314.htm\">公告</a>"
              "<a id=\"panel-service\" href=\"/service/\" target=\"_blank\">客服</a>"
              "<a id=\"panel-back\" href=\"/joinGame/panel/" +
                  HtmlEscape(code) + "/\">刷新</a></p>",
              "game_panel");
}

Response PayPage(const PageContext& context, const std::vector<std::string>& segments) {
  // "/pay/g/qrv/" from the login window, "/pay/g/qrv/s/<server>/u/<user code>/" from the frame.
  const std::string server_segment = SegmentAt(segments, 4);
  const std::string user_code = SegmentAt(segments, 6);
  std::string body = "<h1>" + std::string(kGameName) + "充值中心</h1>" + ViewerLine(context);
  body += "<p id=\"pay-server\">服务器：" + HtmlEscape(server_segment) + "</p>";
  body += "<p id=\"pay-user\">用户代码：" + HtmlEscape(user_code) + "</p>";
  for (const Account& account : context.data.accounts) {
    if (!user_code.empty() && account.profile.code == user_code) {
      body += "<p id=\"pay-nick\">充值角色：" + HtmlEscape(account.profile.nick) + "</p>";
    }
  }
  body += "<p><a id=\"pay-submit\" href=\"/pay/g/qrv/\">确认充值</a></p>";
  Response response = Html(200, "充值中心", body, "pay");
  response.details = {{"page", "pay"}, {"server", server_segment}, {"user_code", user_code}};
  return response;
}

}  // namespace qrv::sim
