#pragma once

#include "cli/Command.h"

namespace koral::cli {

// settings show | settings set NAME VALUE: the thirteen settings of the
// player's own, with the labels of the current firmware version.
class SettingsCommand final : public Command {
 public:
  std::string_view Name() const override { return "settings"; }
  std::vector<std::string> Usage() const override;
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
