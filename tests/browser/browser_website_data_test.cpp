// The cache cleaner's side of the engine: clearing its caches removes the cached data site by site
// and keeps what the page stored on purpose (its local storage) and the cookies, so the next page
// still carries the login's session and finds its settings.

#include <gtest/gtest.h>

#include <string>

#include "browser/browser_fixture.h"

namespace qrv::test {
namespace {

class BrowserWebsiteDataTest : public BrowserTest {
 protected:
  // The sites holding data of `types`, as the engine lists them now.
  int SitesWith(WebKitWebsiteDataTypes types) {
    struct Fetch {
      bool done = false;
      int sites = 0;
    } fetch;
    webkit_website_data_manager_fetch(
        engine().website_data(), types, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
          auto* out = static_cast<Fetch*>(data);
          GList* list =
              webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
          out->sites = static_cast<int>(g_list_length(list));
          g_list_free_full(list, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
          out->done = true;
        },
        &fetch);
    EXPECT_TRUE(WaitUntil([&] { return fetch.done; }));
    return fetch.sites;
  }
};

TEST_F(BrowserWebsiteDataTest, ClearingTheCachesKeepsLocalStorageAndCookies) {
  server().SetPage("/store",
                   Page{"<!DOCTYPE html><script>localStorage.setItem('kept', 'yes');</script><p>s</p>",
                        {"session=s9; Path=/"}});
  server().SetPage("/after", Page{"<!DOCTYPE html><p>after</p>"});
  CMyHtmlView& view = MakeView();
  ASSERT_TRUE(LoadPage(view, server().Url("/store")));
  ASSERT_EQ(RunScript(view, "localStorage.getItem('kept')"), "yes");
  ASSERT_TRUE(WaitUntil([&] { return SitesWith(WEBKIT_WEBSITE_DATA_LOCAL_STORAGE) > 0; }));
  ASSERT_GT(SitesWith(WEBKIT_WEBSITE_DATA_COOKIES), 0);
  constexpr auto kCaches =
      static_cast<WebKitWebsiteDataTypes>(WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE |
                                          WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE);
  const int cached_sites = SitesWith(kCaches);

  int sites = 0;
  int done = 0;
  engine().ClearCaches([&] { ++sites; }, [&] { ++done; });
  EXPECT_EQ(done, 0);  // the engine answers later
  ASSERT_TRUE(WaitUntil([&] { return done > 0; }));
  EXPECT_EQ(done, 1);
  EXPECT_EQ(sites, cached_sites) << "one report per site with cached data";
  EXPECT_EQ(SitesWith(kCaches), 0);
  EXPECT_GT(SitesWith(WEBKIT_WEBSITE_DATA_LOCAL_STORAGE), 0);
  EXPECT_GT(SitesWith(WEBKIT_WEBSITE_DATA_COOKIES), 0);

  ASSERT_TRUE(LoadPage(view, server().Url("/after")));
  ASSERT_EQ(server().RequestsFor("/after").size(), 1u);
  EXPECT_NE(server().RequestsFor("/after")[0].cookie.find("session=s9"), std::string::npos);
  EXPECT_EQ(RunScript(view, "String(localStorage.getItem('kept'))"), "yes");

  // With nothing cached left, a second clearing finds no site and still ends.
  sites = 0;
  done = 0;
  engine().ClearCaches([&] { ++sites; }, [&] { ++done; });
  ASSERT_TRUE(WaitUntil([&] { return done > 0; }));
  EXPECT_GT(SitesWith(WEBKIT_WEBSITE_DATA_COOKIES), 0);
  EXPECT_GT(SitesWith(WEBKIT_WEBSITE_DATA_LOCAL_STORAGE), 0);
}

}  // namespace
}  // namespace qrv::test
