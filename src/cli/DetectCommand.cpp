#include "cli/DetectCommand.h"

namespace koral::cli {

int DetectCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (!args.empty()) return kExitUsage;
  if (!RequirePlayer(context)) return kExitFailed;
  context.out << *context.playerRoot << '\n';
  return kExitOk;
}

}  // namespace koral::cli
