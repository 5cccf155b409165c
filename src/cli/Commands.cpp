#include "cli/Commands.h"

#include "cli/DetectCommand.h"
#include "cli/EqCommand.h"

namespace koral::cli {

std::vector<std::unique_ptr<Command>> AllCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<DetectCommand>());
  commands.push_back(std::make_unique<EqCommand>());
  return commands;
}

}  // namespace koral::cli
