#pragma once
// Every window test ends by checking that the windows it made found, at their creation, every
// control they looked for in the real skin, of the class they expected: a renamed or retyped
// control in a layout fails the test of its window instead of silently switching a feature off.

#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ui/skinned_window.h"

namespace qrv::testing {

inline std::string ReadableType(const std::string& mangled) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status),
                                                   &std::free);
  return status == 0 && name ? name.get() : mangled;
}

inline void ExpectSkinLookupsFound() {
  for (const ControlLookupMiss& miss : CSkinnedWindow::TakeLookupMisses()) {
    ADD_FAILURE() << miss.layout << " has no control \"" << miss.name << "\""
                  << (miss.wrong_type ? " of the class the window expects, " : " (expected ")
                  << ReadableType(miss.expected_type) << ")";
  }
}

// For tests that build a window from a layout of their own on purpose.
inline void ForgetSkinLookups() { static_cast<void>(CSkinnedWindow::TakeLookupMisses()); }

}  // namespace qrv::testing
