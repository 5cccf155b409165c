// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// rm PATH...: deletes entries of the player, folders with their content.
class RmCommand final : public Command {
 public:
  std::string_view Name() const override { return "rm"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

// empty: deletes everything on the player but the root's DAT and INI files.
class EmptyCommand final : public Command {
 public:
  std::string_view Name() const override { return "empty"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

// mkdir NAME: creates one folder on the player.
class MkdirCommand final : public Command {
 public:
  std::string_view Name() const override { return "mkdir"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

}  // namespace koral::cli
