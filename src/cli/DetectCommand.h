#pragma once

#include "cli/Command.h"

namespace koral::cli {

// Prints the player root; fails when there is none.
class DetectCommand final : public Command {
 public:
  std::string_view Name() const override { return "detect"; }
  std::vector<std::string> Usage() const override { return {"detect  affiche la racine de l'Koral"}; }
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
