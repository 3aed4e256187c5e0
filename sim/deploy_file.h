#pragma once
// Writes the launcher's deployment file (data/deploy.ini) so that every platform host points at
// this simulator: all hosts are 127.0.0.1:<port>, the cookie domain is 127.0.0.1 and the outside
// customer-service page is the simulator's /service/ page. With TLS, every host is
// https://127.0.0.1:<TLS port> instead and "cafile" names the authority that signed the
// simulator's certificate.

#include <string>

namespace qrv::sim {

// The simulator's TLS listener as the deployment file names it; port 0 when there is none.
struct TlsDeploy {
  int port = 0;
  std::string cafile;  // written as "cafile" when not empty
};

std::string DeployFileText(int port, int chat_port, const TlsDeploy& tls = {});

// Writes the file atomically, making its folder first. On failure returns false with the reason.
bool WriteDeployFile(const std::string& path, int port, int chat_port, std::string& error,
                     const TlsDeploy& tls = {});

}  // namespace qrv::sim
