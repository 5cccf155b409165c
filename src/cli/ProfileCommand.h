// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// profile save FILE / profile load FILE: "Sauver" and "Charger" of the
// firmware dialog, with the current firmware version.
class ProfileCommand final : public Command {
 public:
  std::string_view Name() const override { return "profile"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
  bool ReadsConfigIni() const override { return true; }
};

}  // namespace koral::cli
