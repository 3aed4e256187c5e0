#pragma once
// The whole content of a file, for tests that check what the program wrote.

#include <fstream>
#include <sstream>
#include <string>

namespace qrv::test {

// The bytes of the file at `path`, unchanged; "" when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace qrv::test
