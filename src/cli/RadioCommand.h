// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// "radio show" prints the memories A to T in MHz; "radio set LETTER MHZ"
// writes one memory (87.5 to 108.0).
class RadioCommand final : public Command {
 public:
  std::string_view Name() const override { return "radio"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
  bool ReadsConfigIni() const override { return true; }
};

}  // namespace koral::cli
