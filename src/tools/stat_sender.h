#pragma once
// How a utility window reports a statistics event ("200011"): the program passes a function that
// sends it through its statistics beacon; tests record the codes.

#include <functional>
#include <string_view>

namespace qrv {

using StatSender = std::function<void(std::string_view code)>;

}  // namespace qrv
