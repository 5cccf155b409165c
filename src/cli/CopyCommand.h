// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// copy [--playlist] [--numbers-only] [--sync-each-chunk] [--convert[=KBPS]] [--to FOLDER] SOURCE...:
// the window's copy to the player, with its free-space check and naming.
// The converter's module, and FFmpeg with it, is loaded only for --convert.
class CopyCommand final : public Command {
 public:
  std::string_view Name() const override { return "copy"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
};

}  // namespace koral::cli
