#include "cli/SettingsCommand.h"

#include <charconv>

#include "files/Paths.h"
#include "settings/PlayerSettings.h"

namespace koral::cli {
namespace {

std::optional<int> ParseWholeNumber(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool ReportPassFailure(PassResult result, CliContext& context, const char* what) {
  if (result == PassResult::kOk) return false;
  if (result == PassResult::kOpenFailed)
    ReportImageNotOpened(context);
  else if (result == PassResult::kBackupFailed)
    ReportBackupRefused(context);
  else
    context.err << what << " impossible sur l'Koral.\n";
  return true;
}

std::string ValueText(const PlayerSettingInfo& info, bool layout119, int value) {
  if (info.kind == PlayerSettingKind::kContrastLevel || info.kind == PlayerSettingKind::kSoundLevel)
    return std::to_string(value);
  const auto label = LabelOf(info.id, layout119, value);
  return std::to_string(value) + " (" + label.value_or("aucun choix") + ")";
}

void PrintChoices(const PlayerSettingInfo& info, bool layout119, std::ostream& out) {
  if (info.kind == PlayerSettingKind::kContrastLevel || info.kind == PlayerSettingKind::kSoundLevel) {
    out << "    niveau de 0 à " << kMaxLevel << '\n';
    return;
  }
  const auto& choices = Choices(info.id, layout119);
  for (size_t i = 0; i < choices.size(); ++i)
    if (!choices[i].hidden) out << "    " << i << " : " << choices[i].label << '\n';
}

int Show(CliContext& context) {
  const PlayerSettingsLayout layout = ReadPlayerSettingsLayout(context.configIni, context.firmwareVersion);
  PlayerSettingValues values{};
  const auto result = ReadPlayerSettings(SettingsImagePath(*context.playerRoot), layout, values);
  if (ReportPassFailure(result, context, "Lecture")) return kExitFailed;
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
  if (!setting) {
    context.err << "Réglage inconnu : " << name << '\n';
    return kExitUsage;
  }
  const PlayerSettingsLayout layout = ReadPlayerSettingsLayout(context.configIni, context.firmwareVersion);
  const auto value = ParseWholeNumber(valueText);
  if (!value || !IsWritableValue(*setting, layout.Is119(), *value)) {
    context.err << "Valeur invalide pour " << name << " : " << valueText << ". Valeurs possibles :\n";
    PrintChoices(InfoOf(*setting), layout.Is119(), context.err);
    return kExitUsage;
  }
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
  return ReportPassFailure(result, context, "Écriture") ? kExitFailed : kExitOk;
}

}  // namespace

std::vector<std::string> SettingsCommand::Usage() const {
  return {"settings show  affiche les treize réglages de l'Koral",
          "settings set NOM VALEUR  écrit un réglage (indice du choix, ou niveau 0 à 10 pour contrast, "
          "srswowtrubass et srswowsrs)"};
}

int SettingsCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  const bool show = args.size() == 1 && args[0] == "show";
  const bool set = args.size() == 3 && args[0] == "set";
  if (!show && !set) return kExitUsage;
  if (!RequirePlayer(context)) return kExitFailed;
  return show ? Show(context) : Set(args[1], args[2], context);
}

}  // namespace koral::cli
