// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "cli/CopyCommand.h"
#include "cli/DetectCommand.h"
#include "cli/EjectCommand.h"
#include "cli/EqCommand.h"
#include "cli/FirmwareCommand.h"
#include "cli/PlayerFilesCommand.h"
#include "cli/ProfileCommand.h"
#include "cli/RadioCommand.h"
#include "cli/SettingsCommand.h"

namespace koral::cli {

std::vector<std::unique_ptr<Command>> AllCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<DetectCommand>());
  commands.push_back(std::make_unique<EjectCommand>());
  commands.push_back(std::make_unique<RmCommand>());
  commands.push_back(std::make_unique<EmptyCommand>());
  commands.push_back(std::make_unique<MkdirCommand>());
  commands.push_back(std::make_unique<RadioCommand>());
  commands.push_back(std::make_unique<SettingsCommand>());
  commands.push_back(std::make_unique<FirmwareCommand>());
  commands.push_back(std::make_unique<ProfileCommand>());
  commands.push_back(std::make_unique<EqCommand>());
  commands.push_back(std::make_unique<CopyCommand>());
  return commands;
}

}  // namespace koral::cli
