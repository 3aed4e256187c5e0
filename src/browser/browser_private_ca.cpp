#include "browser/browser_private_ca.h"

namespace qrv {

std::unique_ptr<PrivateAuthorities> PrivateAuthorities::Load(const std::string& cafile) {
  if (cafile.empty()) return nullptr;
  g_autoptr(GError) error = nullptr;
  GTlsDatabase* database = g_tls_file_database_new(cafile.c_str(), &error);
  if (database == nullptr) return nullptr;
  return std::unique_ptr<PrivateAuthorities>(new PrivateAuthorities(database));
}

PrivateAuthorities::~PrivateAuthorities() { g_object_unref(database_); }

bool PrivateAuthorities::Vouch(GTlsCertificate* certificate, const std::string& address) const {
  if (certificate == nullptr) return false;
  g_autoptr(GUri) uri = g_uri_parse(address.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (uri == nullptr || g_uri_get_host(uri) == nullptr || g_strcmp0(g_uri_get_scheme(uri), "https") != 0) {
    return false;
  }
  const int port = g_uri_get_port(uri) > 0 ? g_uri_get_port(uri) : 443;
  // The identity is the host the page was asked of: a certificate for another name fails.
  g_autoptr(GSocketConnectable) identity =
      g_network_address_new(g_uri_get_host(uri), static_cast<guint16>(port));
  g_autoptr(GError) error = nullptr;
  const GTlsCertificateFlags problems =
      g_tls_database_verify_chain(database_, certificate, G_TLS_DATABASE_PURPOSE_AUTHENTICATE_SERVER,
                                  identity, nullptr, G_TLS_DATABASE_VERIFY_NONE, nullptr, &error);
  return error == nullptr && problems == 0;
}

std::string HostOfAddress(const std::string& address) {
  g_autoptr(GUri) uri = g_uri_parse(address.c_str(), G_URI_FLAGS_NONE, nullptr);
  const char* host = uri != nullptr ? g_uri_get_host(uri) : nullptr;
  return host != nullptr ? host : "";
}

}  // namespace qrv
