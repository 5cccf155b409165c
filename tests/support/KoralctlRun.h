// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "cli/Koralctl.h"

namespace koral::test {

// What one in-process run of koralctl gave.
struct KoralctlResult {
  int status;
  std::string out;
  std::string err;
};

// Header-only: only the tests that link koralctl's library include it.
inline KoralctlResult Koralctl(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::RunKoralctl(arguments, SandboxContext(), out, err);
  return {status, out.str(), err.str()};
}

}  // namespace koral::test
