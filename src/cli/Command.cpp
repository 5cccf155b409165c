#include "cli/Command.h"

namespace koral::cli {

bool RequirePlayer(CliContext& context) {
  if (context.playerRoot) return true;
  context.err << "L'Koral n'a pas été détecté.\n";
  return false;
}

}  // namespace koral::cli
