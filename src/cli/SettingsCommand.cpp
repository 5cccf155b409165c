// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SettingsCommand.h"

#include "cli/JsonWriter.h"
#include "cli/WholeNumber.h"
#include "core/files/Paths.h"
#include "core/settings/PlayerSettings.h"

namespace koral::cli {
namespace {

bool IsLevel(const PlayerSettingInfo& info) {
  return info.kind == PlayerSettingKind::kContrastLevel || info.kind == PlayerSettingKind::kSoundLevel;
}

std::string ValueText(const PlayerSettingInfo& info, bool layout119, int value) {
  if (IsLevel(info)) return std::to_string(value);
  const auto label = LabelOf(info.id, layout119, value);
  return std::to_string(value) + " (" + label.value_or("aucun choix") + ")";
}

// The visible choices as "index : label", on one line for the usage error.
std::string ChoicesText(const PlayerSettingInfo& info, bool layout119) {
  if (IsLevel(info)) return "un niveau de 0 à " + std::to_string(kMaxLevel);
  std::string text;
  const auto& choices = Choices(info.id, layout119);
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].hidden) continue;
    if (!text.empty()) text += " ; ";
    text += std::to_string(i) + " : " + choices[i].label;
  }
  return text;
}

void PrintSettingsJson(std::ostream& out, const PlayerSettingValues& values, const std::string& version) {
  JsonWriter json(out);
  json.BeginObject().Key("firmware").String(version).Key("settings").BeginObject();
  for (const PlayerSettingInfo& info : PlayerSettingInfos()) {
    json.Key(info.name);
    if (const auto& value = values[Index(info.id)]) json.Number(*value);
    else json.Null();
  }
  json.EndObject().EndObject();
}

int Show(bool asJson, CliContext& context) {
  const PlayerSettingsLayout layout = ReadPlayerSettingsLayout(context.configIni, context.firmwareVersion);
  PlayerSettingValues values{};
  const auto result = ReadPlayerSettings(SettingsImagePath(*context.playerRoot), layout, values);
  if (ReportPassFailure(result, ImageTransfer::kRead, context)) return kExitFailed;
  if (asJson) {
    PrintSettingsJson(context.out, values, context.firmwareVersion);
    return kExitOk;
  }
  for (const PlayerSettingInfo& info : PlayerSettingInfos()) {
    context.out << info.name << " = ";
    const auto& value = values[Index(info.id)];
    if (value) context.out << ValueText(info, layout.Is119(), *value) << '\n';
    else context.out << "absent de la version " << context.firmwareVersion << '\n';
  }
  return kExitOk;
}

int Set(const std::string& name, const std::string& valueText, CliContext& context) {
  const auto setting = FindPlayerSetting(name);
  if (!setting) return ReportUsageError(context.err, "Réglage inconnu : " + name);
  const PlayerSettingsLayout layout = ReadPlayerSettingsLayout(context.configIni, context.firmwareVersion);
  const auto value = ParseWholeNumber(valueText);
  if (!value || !IsWritableValue(*setting, layout.Is119(), *value))
    return ReportUsageError(context.err, "Valeur invalide pour " + name + " : " + valueText + ". Valeurs possibles : " +
                                             ChoicesText(InfoOf(*setting), layout.Is119()) + ".");
  if (!layout.offsets[Index(*setting)]) {
    context.err << "La version " << context.firmwareVersion << " n'a pas de clé " << OffsetKey(*setting)
                << " : réglage non écrit.\n";
    return kExitFailed;
  }
  PlayerSettingValues values{};
  PlayerSettingMarks marks{};
  values[Index(*setting)] = value;
  marks[Index(*setting)] = true;
  const auto result = WritePlayerSettings(SettingsImagePath(*context.playerRoot), layout, values, marks);
  return ReportPassFailure(result, ImageTransfer::kWrite, context) ? kExitFailed : kExitOk;
}

}  // namespace

const std::vector<CommandForm>& SettingsCommand::Forms() const {
  static const std::vector<CommandForm> forms = {{"show", {}, {JsonOption()}, "affiche les treize réglages de l'Koral"},
                                                 {"set",
                                                  {"NOM", "VALEUR"},
                                                  {},
                                                  "écrit un réglage (indice du choix, ou niveau 0 à 10 pour contrast, "
                                                  "srswowtrubass et srswowsrs)"}};
  return forms;
}

int SettingsCommand::Run(const Invocation& invocation, CliContext& context) {
  if (!RequirePlayer(context)) return kExitFailed;
  if (invocation.form.subcommand == "show") return Show(invocation.Json(), context);
  return Set(invocation.operands[0], invocation.operands[1], context);
}

}  // namespace koral::cli
