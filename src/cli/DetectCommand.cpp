// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DetectCommand.h"

#include "cli/JsonWriter.h"

namespace koral::cli {

const std::vector<CommandForm>& DetectCommand::Forms() const {
  static const std::vector<CommandForm> forms = {{"", {}, {JsonOption()}, "affiche la racine de l'Koral"}};
  return forms;
}

int DetectCommand::Run(const Invocation& invocation, CliContext& context) {
  if (!RequirePlayer(context)) return kExitFailed;
  if (invocation.Json()) JsonWriter(context.out).BeginObject().Key("player").String(*context.playerRoot).EndObject();
  else context.out << *context.playerRoot << '\n';
  return kExitOk;
}

}  // namespace koral::cli
