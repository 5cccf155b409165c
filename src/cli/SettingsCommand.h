// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// settings show | settings set NAME VALUE: the thirteen settings of the
// player's own, with the labels of the current firmware version.
class SettingsCommand final : public Command {
 public:
  std::string_view Name() const override { return "settings"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
  bool ReadsConfigIni() const override { return true; }
};

}  // namespace koral::cli
