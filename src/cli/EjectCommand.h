// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// Syncs, unmounts and powers off the player, as the window's button does.
class EjectCommand final : public Command {
 public:
  std::string_view Name() const override { return "eject"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

}  // namespace koral::cli
