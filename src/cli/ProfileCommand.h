#pragma once

#include "cli/Command.h"

namespace koral::cli {

// profile save FILE / profile load FILE: "Sauver" and "Charger" of the
// firmware dialog, with the current firmware version.
class ProfileCommand final : public Command {
 public:
  std::string_view Name() const override { return "profile"; }
  std::vector<std::string> Usage() const override;
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
