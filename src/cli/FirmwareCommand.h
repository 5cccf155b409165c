// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

namespace koral::cli {

// firmware list: the known versions as the firmware dialog lists them, the
// current one marked; firmware set VERSION: the version save of that dialog.
class FirmwareCommand final : public Command {
 public:
  std::string_view Name() const override { return "firmware"; }
  const std::vector<CommandForm>& Forms() const override;
  int Run(const Invocation& invocation, CliContext& context) override;
  bool ReadsConfigIni() const override { return true; }

 private:
  static int List(bool asJson, CliContext& context);
  static int Set(const std::string& version, CliContext& context);
};

}  // namespace koral::cli
