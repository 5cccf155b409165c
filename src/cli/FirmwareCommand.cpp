// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FirmwareCommand.h"

#include <algorithm>
#include <optional>

#include "cli/JsonWriter.h"
#include "core/config/PrivateProfile.h"
#include "core/firmware/FirmwareVersions.h"

namespace koral::cli {
namespace {

constexpr const char* kNoFirmware =
    "Aucun firmware n'est disponible.\n Il ne fallait pas trafiquer le fichier Config.ini\n";

void PrintListJson(std::ostream& out, const std::vector<std::string>& entries, std::optional<size_t> current) {
  JsonWriter json(out);
  json.BeginObject().Key("current");
  if (current) json.String(entries[*current]);
  else json.Null();
  json.Key("versions").BeginArray();
  for (const std::string& entry : entries) json.String(entry);
  json.EndArray().EndObject();
}

}  // namespace

const std::vector<CommandForm>& FirmwareCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"list", {}, {JsonOption()}, "liste les versions de firmware connues (* : la version actuelle)"},
      {"set", {"VERSION"}, {}, "choisit la version de firmware"}};
  return forms;
}

int FirmwareCommand::Run(const Invocation& invocation, CliContext& context) {
  if (invocation.form.subcommand == "list") return List(invocation.Json(), context);
  return Set(invocation.operands[0], context);
}

int FirmwareCommand::List(bool asJson, CliContext& context) {
  const auto entries = ReadVersionList(context.configIni);
  if (entries.empty()) {
    context.err << kNoFirmware;
    return kExitFailed;
  }
  const auto current = FindCurrentVersionEntry(entries, context.firmwareVersion);
  if (asJson) {
    PrintListJson(context.out, entries, current);
    return kExitOk;
  }
  for (size_t i = 0; i < entries.size(); ++i) context.out << (current == i ? "* " : "  ") << entries[i] << '\n';
  return kExitOk;
}

int FirmwareCommand::Set(const std::string& version, CliContext& context) {
  const auto entries = ReadVersionList(context.configIni);
  if (version.empty() || std::find(entries.begin(), entries.end(), version) == entries.end()) {
    context.err << "La version " << version << " n'est pas dans la liste des firmwares disponibles.\n";
    return kExitFailed;
  }
  const FileWriteStatus status = SaveFirmwareVersion(context.configIni, version);
  if (status == FileWriteStatus::kReadOnly) {
    context.err << UnwrittenOptionsText({context.configIni, status}) << '\n';
    return kExitFailed;
  }
  if (status != FileWriteStatus::kWritten) {
    context.err << "Le fichier Config.ini ne peut pas être écrit : la version n'a pas été enregistrée.\n";
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace koral::cli
