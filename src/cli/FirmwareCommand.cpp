#include "cli/FirmwareCommand.h"

#include <algorithm>

#include "firmware/FirmwareVersions.h"

namespace koral::cli {
namespace {

constexpr const char* kNoFirmware =
    "Aucun firmware n'est disponible.\n Il ne fallait pas trafiquer le fichier Config.ini\n";

}  // namespace

std::vector<std::string> FirmwareCommand::Usage() const {
  return {"firmware list  liste les versions de firmware connues (* : la version actuelle)",
          "firmware set VERSION  choisit la version de firmware"};
}

int FirmwareCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.size() == 1 && args[0] == "list") return List(context);
  if (args.size() == 2 && args[0] == "set") return Set(args[1], context);
  return kExitUsage;
}

int FirmwareCommand::List(CliContext& context) {
  const auto entries = ReadVersionList(context.configIni);
  if (entries.empty()) {
    context.err << kNoFirmware;
    return kExitFailed;
  }
  const auto current = FindCurrentVersionEntry(entries, context.firmwareVersion);
  for (size_t i = 0; i < entries.size(); ++i) context.out << (current == i ? "* " : "  ") << entries[i] << '\n';
  return kExitOk;
}

int FirmwareCommand::Set(const std::string& version, CliContext& context) {
  const auto entries = ReadVersionList(context.configIni);
  if (version.empty() || std::find(entries.begin(), entries.end(), version) == entries.end()) {
    context.err << "La version " << version << " n'est pas dans la liste des firmwares disponibles.\n";
    return kExitFailed;
  }
  if (!SaveFirmwareVersion(context.configIni, version)) {
    context.err << "Le fichier Config.ini ne peut pas être écrit : la version n'a pas été enregistrée.\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace koral::cli
