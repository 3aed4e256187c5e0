#pragma once
// Writes the launcher's deployment file (data/deploy.ini) so that every platform host points at
// this simulator: all hosts are 127.0.0.1:<port>, the cookie domain is 127.0.0.1 and the outside
// customer-service page is the simulator's /service/ page.

#include <string>

namespace qrv::sim {

std::string DeployFileText(int port, int chat_port);

// Writes the file atomically, making its folder first. On failure returns false with the reason.
bool WriteDeployFile(const std::string& path, int port, int chat_port, std::string& error);

}  // namespace qrv::sim
