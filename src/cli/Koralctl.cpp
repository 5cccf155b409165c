#include "cli/Koralctl.h"

#include <cstdlib>

#include "cli/Commands.h"
#include "config/ProgramFolder.h"
#include "platform/PlayerDetection.h"
#include "settings/FirmwareLayout.h"

namespace koral::cli {
namespace {

void PrintHelp(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
  out << "usage : koralctl [--player DOSSIER] [--config-dir DOSSIER] [--firmware VERSION] COMMANDE ...\n\n"
         "Commandes :\n";
  for (const auto& command : commands)
    for (const std::string& line : command->Usage()) out << "  " << line << '\n';
}

struct GlobalOptions {
  std::string firmware;
  size_t commandIndex = 0;
  bool help = false;
  bool valid = true;
};

GlobalOptions ParseGlobalOptions(const std::vector<std::string>& arguments) {
  GlobalOptions options;
  size_t i = 0;
  for (; i < arguments.size() && arguments[i].rfind("--", 0) == 0; ++i) {
    const std::string& name = arguments[i];
    if (name == "--help") { options.help = true; continue; }
    if (i + 1 >= arguments.size()) { options.valid = false; break; }
    const std::string& value = arguments[++i];
    if (name == "--player") setenv("KORAL_PLAYER", value.c_str(), 1);
    else if (name == "--config-dir") setenv("KORAL_CONFIG_DIR", value.c_str(), 1);
    else if (name == "--firmware") options.firmware = value;
    else options.valid = false;
  }
  options.commandIndex = i;
  return options;
}

}  // namespace

int RunKoralctl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto commands = AllCommands();
  const GlobalOptions options = ParseGlobalOptions(arguments);
  if (options.help) { PrintHelp(out, commands); return kExitOk; }
  if (!options.valid || options.commandIndex >= arguments.size()) { PrintHelp(err, commands); return kExitUsage; }

  const std::string& name = arguments[options.commandIndex];
  for (const auto& command : commands) {
    if (command->Name() != name) continue;
    CliContext context{ConfigIniPath(), RadiosIniPath(), FindPlayerRoot(), options.firmware, out, err};
    if (context.firmwareVersion.empty()) context.firmwareVersion = ReadFirmwareVersion(context.configIni);
    const std::vector<std::string> rest(arguments.begin() + static_cast<std::ptrdiff_t>(options.commandIndex) + 1,
                                        arguments.end());
    const int status = command->Run(rest, context);
    if (status == kExitUsage) PrintHelp(err, commands);
    return status;
  }
  err << "Commande inconnue : " << name << '\n';
  PrintHelp(err, commands);
  return kExitUsage;
}

}  // namespace koral::cli
