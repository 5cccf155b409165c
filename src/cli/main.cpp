// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>
#include <iostream>

#include "cli/Koralctl.h"

int main(int argc, char** argv) {
  const koral::RunContext environment = koral::RunContextFromEnvironment(std::getenv);
  return koral::cli::RunKoralctl(std::vector<std::string>(argv + 1, argv + argc), environment, std::cout, std::cerr);
}
