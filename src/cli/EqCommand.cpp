// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/EqCommand.h"

#include <array>
#include <iomanip>
#include <optional>

#include "cli/JsonWriter.h"
#include "cli/WholeNumber.h"
#include "core/files/FolderListing.h"
#include "core/files/Paths.h"
#include "core/settings/EqualiserImage.h"

namespace koral::cli {
namespace {

constexpr int kLowestGain = -12;
constexpr int kHighestGain = 20;

// An index 0-11 or a preset name of the firmware version.
std::optional<int> ParsePreset(const std::string& text, const std::string& firmwareVersion) {
  if (const auto index = ParseWholeNumber(text, PlusSign::kTaken)) {
    if (*index >= 0 && *index < kPresetCount) return index;
    return std::nullopt;
  }
  const PresetNameList& names = PresetNames(firmwareVersion);
  for (size_t i = 0; i < names.size(); ++i)
    if (CompareNoCase(names[i], text) == 0) return static_cast<int>(i);
  return std::nullopt;
}

std::string PresetLabel(int preset, const std::string& firmwareVersion) {
  if (preset < 0 || preset >= kPresetCount) return std::to_string(preset) + " (inconnu)";
  return std::to_string(preset) + " " + std::string(PresetNames(firmwareVersion)[static_cast<size_t>(preset)]);
}

// Everything an eq subcommand needs before its pass; nullopt after a message.
std::optional<EqualiserLayout> PrepareLayout(CliContext& context) {
  if (!RequirePlayer(context)) return std::nullopt;
  EqualiserLayout layout = ReadEqualiserLayout(context.configIni, context.firmwareVersion);
  if (layout.IsComplete()) return layout;
  context.err << MissingEqualiserKeysMessage(layout) << '\n';
  return std::nullopt;
}

class Pass {
 public:
  Pass(CliContext& context, const EqualiserLayout& layout)
      : m_context(context), m_pass(SettingsImagePath(*context.playerRoot), layout) {
    if (!m_pass.IsOpen()) ReportImageNotOpened(m_context);
  }
  bool IsOpen() const { return m_pass.IsOpen(); }
  EqualiserPass& operator*() { return m_pass; }
  int Finish(bool transferred, ImageTransfer transfer) {
    return ReportPassFailure(m_pass.Finish(transferred), transfer, m_context) ? kExitFailed : kExitOk;
  }

 private:
  CliContext& m_context;
  EqualiserPass m_pass;
};

void PrintPresets(std::ostream& out, const GainTable& gains, int selected, const std::string& version) {
  out << "preset sélectionné : " << PresetLabel(selected, version) << '\n';
  out << std::left << std::setw(14) << "preset" << std::right;
  for (const char* band : {"62 Hz", "250 Hz", "1 kHz", "4 kHz", "16 kHz"}) out << std::setw(8) << band;
  out << '\n';
  for (int preset = 0; preset < kGainPresetCount; ++preset) {
    out << std::setw(2) << preset << ' ' << std::left << std::setw(11)
        << PresetNames(version)[static_cast<size_t>(preset)] << std::right;
    for (int gain : gains[static_cast<size_t>(preset)]) out << std::setw(8) << gain;
    out << '\n';
  }
}

constexpr std::array<int, kBandCount> kBandHertz = {62, 250, 1000, 4000, 16000};

void PrintPresetsJson(std::ostream& out, const GainTable& gains, int selected, const std::string& version) {
  JsonWriter json(out);
  json.BeginObject().Key("firmware").String(version).Key("selected_preset").Number(selected);
  json.Key("bands_hz").BeginArray();
  for (int hertz : kBandHertz) json.Number(hertz);
  json.EndArray().Key("presets").BeginArray();
  for (int preset = 0; preset < kGainPresetCount; ++preset) {
    json.BeginObject().Key("preset").Number(preset).Key("gains").BeginArray();
    for (int gain : gains[static_cast<size_t>(preset)]) json.Number(gain);
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
}

int Show(bool asJson, CliContext& context) {
  const auto layout = PrepareLayout(context);
  if (!layout) return kExitFailed;
  Pass pass(context, *layout);
  if (!pass.IsOpen()) return kExitFailed;
  GainTable gains{};
  int selected = 0;
  const bool read = (*pass).ReadGains(gains) && (*pass).ReadSelectedPreset(selected);
  const int status = pass.Finish(read, ImageTransfer::kRead);
  if (status != kExitOk) return status;
  if (asJson) PrintPresetsJson(context.out, gains, selected, layout->firmwareVersion);
  else PrintPresets(context.out, gains, selected, layout->firmwareVersion);
  return status;
}

std::optional<PresetGains> ParseGains(const std::vector<std::string>& args, CliContext& context) {
  PresetGains gains{};
  for (size_t band = 0; band < gains.size(); ++band) {
    const auto gain = ParseWholeNumber(args[band + 1], PlusSign::kTaken);
    if (!gain || *gain < kLowestGain || *gain > kHighestGain) {
      ReportUsageError(context.err, "Gain invalide : " + args[band + 1] + " (un nombre entier de " +
                                        std::to_string(kLowestGain) + " à " + std::to_string(kHighestGain) + ").");
      return std::nullopt;
    }
    gains[band] = *gain;
  }
  return gains;
}

int Set(const std::vector<std::string>& args, CliContext& context) {
  const auto preset = ParsePreset(args[0], context.firmwareVersion);
  if (!preset || *preset >= kGainPresetCount)
    return ReportUsageError(
        context.err, "Preset invalide : " + args[0] + " (un preset de 0 à 10 ou son nom ; Auto n'a pas de gains).");
  const auto gains = ParseGains(args, context);
  if (!gains) return kExitUsage;
  const auto layout = PrepareLayout(context);
  if (!layout) return kExitFailed;
  Pass pass(context, *layout);
  if (!pass.IsOpen()) return kExitFailed;
  return pass.Finish((*pass).WritePreset(*preset, *gains), ImageTransfer::kWrite);
}

int Select(const std::vector<std::string>& args, CliContext& context) {
  const auto preset = ParsePreset(args[0], context.firmwareVersion);
  if (!preset)
    return ReportUsageError(context.err, "Preset invalide : " + args[0] + " (un preset de 0 à 11 ou son nom).");
  const auto layout = PrepareLayout(context);
  if (!layout) return kExitFailed;
  Pass pass(context, *layout);
  if (!pass.IsOpen()) return kExitFailed;
  return pass.Finish((*pass).WriteSelectedPreset(*preset), ImageTransfer::kWrite);
}

}  // namespace

const std::vector<CommandForm>& EqCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"show", {}, {JsonOption()}, "affiche les gains des onze presets et le preset sélectionné"},
      {"set", {"PRESET", "G62", "G250", "G1K", "G4K", "G16K"}, {}, "enregistre les cinq gains d'un preset (-12 à 20)"},
      {"select", {"PRESET"}, {}, "sélectionne le preset de l'Koral (0 à 11 ou son nom)"}};
  return forms;
}

int EqCommand::Run(const Invocation& invocation, CliContext& context) {
  const std::string& subcommand = invocation.form.subcommand;
  if (subcommand == "show") return Show(invocation.Json(), context);
  if (subcommand == "set") return Set(invocation.operands, context);
  return Select(invocation.operands, context);
}

}  // namespace koral::cli
