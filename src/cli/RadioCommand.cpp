// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RadioCommand.h"

#include <optional>

#include "cli/JsonWriter.h"
#include "core/config/TextEncoding.h"
#include "core/settings/RadioFrequency.h"
#include "core/settings/RadioMemories.h"

namespace koral::cli {
namespace {

char MemoryLetter(int memory) { return static_cast<char>('A' + memory); }

std::optional<int> ParseMemoryLetter(const std::string& text) {
  if (text.size() != 1) return std::nullopt;
  const int memory = LowerAscii(text[0]) - 'a';
  if (memory < 0 || memory >= kMaxRadios) return std::nullopt;
  return memory;
}

// The layout and image of the current firmware and player, with the message
// when either is missing.
struct RadioTarget {
  RadioLayout layout;
  std::filesystem::path image;
};

std::optional<RadioTarget> FindTarget(CliContext& context) {
  if (!RequirePlayer(context)) return std::nullopt;
  const auto layout = ReadRadioLayout(context.configIni, context.firmwareVersion);
  if (!layout) {
    context.err << "La version de firmware « " << context.firmwareVersion
                << " » n'indique pas où se trouvent les mémoires radio (offsetradio, nbradios).\n";
    return std::nullopt;
  }
  return RadioTarget{*layout, RadioImagePath(context.playerRoot)};
}

// MHz to the kHz the record holds, without trailing zeros: 87.5, 101.35.
std::string MegahertzNumber(double megahertz) {
  std::string text = FormatFixed(megahertz, 3);
  while (text.ends_with('0')) text.pop_back();
  if (text.ends_with('.')) text.pop_back();
  return text;
}

void PrintMemoriesJson(std::ostream& out, const RadioMemories& memories, int count) {
  JsonWriter json(out);
  json.BeginObject().Key("memories").BeginArray();
  for (int memory = 0; memory < count; ++memory) {
    const auto& megahertz = memories[static_cast<size_t>(memory)];
    json.BeginObject().Key("letter").String(std::string(1, MemoryLetter(memory))).Key("mhz");
    if (megahertz) json.NumberText(MegahertzNumber(*megahertz));
    else json.Null();
    json.EndObject();
  }
  json.EndArray().EndObject();
}

int Show(bool asJson, CliContext& context) {
  const auto target = FindTarget(context);
  if (!target) return kExitFailed;
  RadioMemories memories;
  if (ReportPassFailure(ReadRadioMemories(target->image, target->layout, memories), ImageTransfer::kRead, context))
    return kExitFailed;
  if (asJson) {
    PrintMemoriesJson(context.out, memories, target->layout.count);
    return kExitOk;
  }
  for (int memory = 0; memory < target->layout.count; ++memory)
    context.out << MemoryLetter(memory) << ' ' << FormatMegahertz(memories[static_cast<size_t>(memory)].value_or(0.0))
                << '\n';
  return kExitOk;
}

int Set(const std::string& letter, const std::string& frequencyText, CliContext& context) {
  const auto memory = ParseMemoryLetter(letter);
  if (!memory) return ReportUsageError(context.err, "Mémoire inconnue : " + letter + " (une lettre de A à T).");
  const auto megahertz = ParseTypedMegahertz(frequencyText);
  if (!megahertz)
    return ReportUsageError(context.err, "Fréquence refusée : " + frequencyText + " (de 87.5 à 108.0 MHz).");
  const auto target = FindTarget(context);
  if (!target) return kExitFailed;
  if (*memory >= target->layout.count) {
    context.err << "Ce firmware n'enregistre que " << target->layout.count << " mémoires radio : la mémoire "
                << MemoryLetter(*memory) << " n'existe pas sur l'Koral.\n";
    return kExitFailed;
  }
  RadioMemories memories;
  memories[static_cast<size_t>(*memory)] = *megahertz;
  if (ReportPassFailure(WriteRadioMemories(target->image, target->layout, memories), ImageTransfer::kWrite, context))
    return kExitFailed;
  return kExitOk;
}

}  // namespace

const std::vector<CommandForm>& RadioCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"show", {}, {JsonOption()}, "affiche les mémoires radio A à T (MHz)"},
      {"set", {"LETTRE", "MHZ"}, {}, "enregistre une mémoire (87.5 à 108.0)"}};
  return forms;
}

int RadioCommand::Run(const Invocation& invocation, CliContext& context) {
  if (invocation.form.subcommand == "show") return Show(invocation.Json(), context);
  return Set(invocation.operands[0], invocation.operands[1], context);
}

}  // namespace koral::cli
