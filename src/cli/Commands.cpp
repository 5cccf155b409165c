#include "cli/Commands.h"

#include "cli/CopyCommand.h"
#include "cli/DetectCommand.h"

namespace koral::cli {

std::vector<std::unique_ptr<Command>> AllCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(std::make_unique<DetectCommand>());
  commands.push_back(std::make_unique<CopyCommand>());
  return commands;
}

}  // namespace koral::cli
