#pragma once

#include "cli/Command.h"

namespace koral::cli {

// copy [--playlist] [--numbers-only] [--sync-each-chunk] [--to FOLDER] SOURCE...:
// the window's copy to the player, with its free-space check and naming.
class CopyCommand final : public Command {
 public:
  std::string_view Name() const override { return "copy"; }
  std::vector<std::string> Usage() const override;
  int Run(const std::vector<std::string>& args, CliContext& context) override;
};

}  // namespace koral::cli
