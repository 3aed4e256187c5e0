// The click sink in a real web view: links clicked through child elements, clicks outside links,
// later pages and frames, including a frame of another origin.

#include <gtest/gtest.h>

#include "browser/browser_fixture.h"
#include "browser/browser_web_view.h"

namespace qrv::test {
namespace {

constexpr char kHead[] =
    "<!DOCTYPE html><html><head><meta charset=utf-8>"
    "<style>body{margin:0} "
    ".box{position:absolute;display:block;width:200px;height:60px}</style></head><body>";

std::string Html(const std::string& body) { return kHead + body + "</body></html>"; }

class ClickSinkTest : public BrowserTest {};

TEST_F(ClickSinkTest, ReportsTheHrefAsWrittenOfALinkClickedThroughAChildElement) {
  server().SetPage("/links", Page{Html("<a class=box style='left:0;top:0' href='#stay'><span id=inner "
                                       "style='display:block;width:200px;height:60px'>游戏</span></a>"
                                       "<p id=outside class=box style='left:0;top:200px'>no link here</p>")});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/links")));

  // A click from the display on the span: the walk goes up to the anchor.
  double x = 0;
  double y = 0;
  ASSERT_TRUE(CentreOf(view, "#inner", &x, &y));
  Click(view, x, y, 1);
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() == 1; }));
  EXPECT_EQ(ClickLines()[0], "单击事件:#stay\r\n");

  // A click outside any link writes nothing. A click on the link after it proves the first
  // one has been handled by then.
  ASSERT_TRUE(CentreOf(view, "#outside", &x, &y));
  Click(view, x, y, 1);
  RunScript(view, "document.getElementById('inner').click()");
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() == 2; }));
  EXPECT_EQ(ClickLines()[1], "单击事件:#stay\r\n");
  EXPECT_EQ(ClickLines().size(), 2u);
}

TEST_F(ClickSinkTest, ReportsOnlyAnchorsWithAnHrefAndTheNearestAnchorWins) {
  server().SetPage(
      "/nested",
      Page{Html(
          "<a id=bare><b id=in-bare>no href</b></a>"
          "<a href='/outer'><svg width=20 height=20><a href='/svg-inner' onclick='event.preventDefault()'>"
          "<rect id=shape width=20 height=20></rect></a></svg></a>"
          "<a href='?page=2#news' id=script onclick='event.preventDefault()'>relative</a>")});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/nested")));

  RunScript(view, "document.getElementById('in-bare').click()");
  // The event is cancelable, as a real click is: the page's preventDefault then keeps the SVG link
  // from navigating (an uncancelable synthetic click would leave the page, and the next click
  // would find no element to click).
  EXPECT_EQ(RunScript(view, "document.getElementById('shape').dispatchEvent("
                            "new MouseEvent('click', {bubbles: true, cancelable: true}))"),
            "false");
  // One report at a time: on a loaded machine the script message of one click may still be on its
  // way when the next click starts.
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() >= 1; })) << ::testing::PrintToString(ClickLines());
  EXPECT_EQ(RunScript(view, "document.getElementById('script').click(); 'clicked'"), "clicked");
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() >= 2; })) << ::testing::PrintToString(ClickLines());
  // The anchor without an href ends its walk silently; the SVG anchor (tag "a") is nearer to the
  // shape than the HTML one around the picture. The page cancelling a link's default action does
  // not keep it from being reported. (Links here do not navigate, so every element stays.)
  const std::vector<std::string> expected = {"单击事件:/svg-inner\r\n", "单击事件:?page=2#news\r\n"};
  EXPECT_EQ(ClickLines(), expected);
  EXPECT_TRUE(server().RequestsFor("/svg-inner").empty());
}

TEST_F(ClickSinkTest, ReportsClicksOfEachNewPageOnce) {
  server().SetPage("/first", Page{Html("<a id=go href='/second'>next</a>")});
  server().SetPage("/second",
                   Page{Html("<a href='second-link' onclick='return false'><i id=two>two</i></a>")});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/first")));
  ASSERT_TRUE(LoadPage(view, server().Url("/second")));

  RunScript(view, "document.getElementById('two').click()");
  ASSERT_TRUE(WaitUntil([&] { return !ClickLines().empty(); }));
  // Going back and forth leaves one listener per document: a click still writes one line.
  ASSERT_TRUE(LoadPage(view, server().Url("/first")));
  ASSERT_TRUE(LoadPage(view, server().Url("/second")));
  RunScript(view, "document.getElementById('two').click()");
  RunScript(view, "document.getElementById('two').click()");
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() >= 3; }));
  RunScript(view, "document.body.click()");  // a last, silent click as a barrier
  EXPECT_EQ(ClickLines(), std::vector<std::string>(3, "单击事件:second-link\r\n"));
}

TEST_F(ClickSinkTest, ReportsLinksInFramesOfTheSameAndOfAnotherOrigin) {
  server().SetPage("/inner", Page{Html("<a class=box style='left:0;top:0' href='/in-frame'>"
                                       "<span id=t>in a frame</span></a>")});
  // The second frame comes from "localhost", another origin than the page's 127.0.0.1: the page
  // cannot reach into it, only the player's click can.
  server().SetPage("/framed",
                   Page{Html("<iframe id=same src='/inner' style='position:absolute;left:0;top:0;"
                             "width:300px;height:100px;border:0'></iframe>"
                             "<iframe id=other src='" +
                             server().Url("/inner", "localhost") +
                             "' style='position:absolute;left:0;top:200px;width:300px;height:100px;"
                             "border:0'></iframe>")});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/framed")));
  ASSERT_TRUE(WaitUntil([&] { return server().RequestsFor("/inner").size() >= 2; }));
  ASSERT_TRUE(WaitUntil([&] {
    return RunScript(view, "document.getElementById('same').contentDocument.readyState") == "complete";
  }));

  RunScript(view, "document.getElementById('same').contentDocument.getElementById('t').click()");
  ASSERT_TRUE(WaitUntil([&] { return ClickLines().size() == 1; }));

  // The other origin's frame loads on its own; click into it until its sink answers.
  ASSERT_TRUE(WaitUntil([&] {
    Click(view, 50, 230, 1);
    return WaitUntil([&] { return ClickLines().size() >= 2; }, std::chrono::milliseconds(500));
  }));
  EXPECT_EQ(ClickLines()[0], "单击事件:/in-frame\r\n");
  EXPECT_EQ(ClickLines()[1], "单击事件:/in-frame\r\n");
}

}  // namespace
}  // namespace qrv::test
