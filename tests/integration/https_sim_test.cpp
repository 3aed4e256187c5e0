// The web client against the simulator's HTTPS listener: a login and its follow-up visit over TLS
// to a certificate of the deployment's own authority; the same host refused without that
// authority; and an https host whose redirect points at plain HTTP is not followed.

#include <gtest/gtest.h>

#include <memory>

#include "net/web_client.h"
#include "net/web_context.h"
#include "sim/sim_test_support.h"

namespace qrv {
namespace {

class HttpsSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::SimOptions options;
    options.work_dir = dir_.path();
    options.tls_certificate = sim::TestCertificatePath("localhost.pem");
    options.tls_key = sim::TestCertificatePath("localhost.key");
    options.tls_authority = sim::TestCertificatePath("ca.pem");
    std::string error;
    sim_ = sim::SimProcess::Start(options, error);
    ASSERT_NE(sim_, nullptr) << error;
  }

  // The log entries with `event`, each with whether it came over TLS.
  std::vector<bool> TlsOfEvent(const std::string& event) const {
    std::vector<bool> tls;
    for (const auto& line : sim_->LogLines()) {
      if (line.find("\"event\":\"" + event + "\"") != std::string::npos)
        tls.push_back(line.find("\"tls\":true") != std::string::npos);
    }
    return tls;
  }

  sim::testing::TempDir dir_;
  std::unique_ptr<sim::SimProcess> sim_;
};

TEST_F(HttpsSimTest, LoginGoesOverTlsToTheDeploymentsAuthorityAndRedirectsStayOnHttps) {
  const DeployConfig deploy = DeployConfig::Load(sim_->deploy_path());
  const std::string https_host = "https://127.0.0.1:" + std::to_string(sim_->tls_port());
  ASSERT_EQ(deploy.site, https_host);
  ASSERT_EQ(deploy.cafile, sim::TestCertificatePath("ca.pem"));

  WebContext web(deploy, dir_.path() + "/cookies.txt");
  WebClient client(web);
  client.SetHost(deploy.site);
  EXPECT_EQ(client.Fetch(sim::testing::LoginPath("qrvtest", "abc123456", "1796637600").substr(1)), "SUCCESS");
  EXPECT_EQ(TlsOfEvent("login_ok"), std::vector<bool>{true});
  // The follow-up visit went the same way, and its cookie and the session's are in the store.
  bool visited_over_tls = false;
  for (const auto& line : sim_->LogLines()) {
    if (line.find("\"path\":\"/\"") != std::string::npos && line.find("\"tls\":true") != std::string::npos)
      visited_over_tls = true;
  }
  EXPECT_TRUE(visited_over_tls);
  bool has_session = false;
  for (const Cookie& cookie : web.cookies().All()) has_session |= cookie.name == "PHPSESSID";
  EXPECT_TRUE(has_session);
  EXPECT_EQ(client.Fetch("clientlogingame.php?heart=1").rfind("HEART_OK|", 0), 0u);

  // A redirect to another https address is followed; one to plain HTTP is not.
  const std::string plain = "http://" + sim_->host() + "/clientlogingame.php?heart=1";
  const std::string secure = https_host + "/clientlogingame.php?heart=1";
  EXPECT_EQ(client.Fetch("__sim/redirect?to=" + sim::testing::Escape(secure)).rfind("HEART_OK|", 0), 0u);
  EXPECT_EQ(client.Fetch("__sim/redirect?to=" + sim::testing::Escape(plain)), "");
  std::size_t plain_requests = 0;
  for (const auto& line : sim_->LogLines()) {
    if (line.find("heart=1") != std::string::npos && line.find("\"tls\":false") != std::string::npos)
      ++plain_requests;
  }
  EXPECT_EQ(plain_requests, 0u) << "the plain address was never asked";

  // Without the deployment's authority (the system's store only) the same host is refused.
  DeployConfig system_store = deploy;
  system_store.cafile.clear();
  WebContext untrusting(system_store, dir_.path() + "/cookies2.txt");
  WebClient refused(untrusting);
  refused.SetHost(deploy.site);
  const std::size_t before = sim_->LogLines().size();
  EXPECT_EQ(refused.Fetch("clientlogingame.php?heart=1"), "");
  EXPECT_EQ(sim_->LogLines().size(), before) << "no request got past the handshake";
  EXPECT_EQ(sim_->Stop(), 0);
}

}  // namespace
}  // namespace qrv
