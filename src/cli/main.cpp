// SPDX-License-Identifier: GPL-3.0-or-later
#include <iostream>

#include "cli/Koralctl.h"

int main(int argc, char** argv) {
  return koral::cli::RunKoralctl(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
