#pragma once

#include "cli/Command.h"

namespace koral::cli {

// Syncs, unmounts and powers off the player, as the window's button does.
class EjectCommand final : public Command {
 public:
  std::string_view Name() const override { return "eject"; }
  std::vector<std::string> Usage() const override {
    return {"eject  écrit tout sur l'Koral, le démonte et l'éteint pour qu'il puisse être débranché"};
  }
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
