// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// eq show | set PRESET G62 G250 G1K G4K G16K | select PRESET: the equaliser
// presets of the settings image, through the same passes as the window.
class EqCommand final : public Command {
 public:
  std::string_view Name() const override { return "eq"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
  bool ReadsConfigIni() const override { return true; }
};

}  // namespace koral::cli
