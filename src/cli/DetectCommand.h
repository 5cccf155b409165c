// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// Prints the player root; fails when there is none.
class DetectCommand final : public Command {
 public:
  std::string_view Name() const override { return "detect"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

}  // namespace koral::cli
