#pragma once
// The certificate authorities of a private platform. The deployment may name a file of its own
// authorities (deploy.ini's "cafile"); the web engine checks every page against the system's
// store only, and a page whose certificate fails there ends with a TLS error. Such a certificate
// is checked again here, in full (chain, dates, and the host it was meant for), against the
// private authorities alone; only one that passes is accepted, and only for that host.

#include <gio/gio.h>

#include <memory>
#include <string>

namespace qrv {

class PrivateAuthorities {
 public:
  // The authorities of `cafile` (PEM); null when the name is empty or the file cannot be read.
  static std::unique_ptr<PrivateAuthorities> Load(const std::string& cafile);
  ~PrivateAuthorities();
  PrivateAuthorities(const PrivateAuthorities&) = delete;
  PrivateAuthorities& operator=(const PrivateAuthorities&) = delete;

  // Whether `certificate` (with the chain it carries) leads to one of these authorities, is
  // valid now and was issued for the host of `address` (a page's address).
  bool Vouch(GTlsCertificate* certificate, const std::string& address) const;

 private:
  explicit PrivateAuthorities(GTlsDatabase* database) : database_(database) {}
  GTlsDatabase* database_;
};

// The host of a web address ("" when it has none).
std::string HostOfAddress(const std::string& address);

}  // namespace qrv
