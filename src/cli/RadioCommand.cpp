#include "cli/RadioCommand.h"

#include <charconv>
#include <optional>

#include "config/TextEncoding.h"
#include "settings/RadioFrequency.h"
#include "settings/RadioMemories.h"

namespace koral::cli {
namespace {

char MemoryLetter(int memory) { return static_cast<char>('A' + memory); }

std::optional<int> ParseMemoryLetter(const std::string& text) {
  if (text.size() != 1) return std::nullopt;
  const int memory = LowerAscii(text[0]) - 'a';
  if (memory < 0 || memory >= kMaxRadios) return std::nullopt;
  return memory;
}

// The whole argument must be a number with a point.
std::optional<double> ParseFrequency(const std::string& text) {
  double value = 0.0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, value, std::chars_format::fixed);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
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

bool ReportFailure(RadioPassStatus status, CliContext& context, const char* transfer) {
  if (status == RadioPassStatus::kOk) return false;
  if (status == RadioPassStatus::kImageNotOpened)
    ReportImageNotOpened(context);
  else if (status == RadioPassStatus::kBackupFailed)
    ReportBackupRefused(context);
  else
    context.err << transfer << " impossible sur l'Koral.\n";
  return true;
}

int Show(CliContext& context) {
  const auto target = FindTarget(context);
  if (!target) return kExitFailed;
  RadioMemories memories;
  if (ReportFailure(ReadRadioMemories(target->image, target->layout, memories), context, "Lecture"))
    return kExitFailed;
  for (int memory = 0; memory < target->layout.count; ++memory)
    context.out << MemoryLetter(memory) << ' ' << FormatMegahertz(memories[static_cast<size_t>(memory)].value_or(0.0))
                << '\n';
  return kExitOk;
}

int Set(const std::string& letter, const std::string& frequencyText, CliContext& context) {
  const auto memory = ParseMemoryLetter(letter);
  if (!memory) {
    context.err << "Mémoire inconnue : " << letter << " (une lettre de A à T).\n";
    return kExitUsage;
  }
  const auto megahertz = ParseFrequency(frequencyText);
  if (!megahertz || !IsTypedFrequencyAccepted(*megahertz)) {
    context.err << "Fréquence refusée : " << frequencyText << " (de 87.5 à 108.0 MHz).\n";
    return kExitUsage;
  }
  const auto target = FindTarget(context);
  if (!target) return kExitFailed;
  if (*memory >= target->layout.count) {
    context.err << "Ce firmware n'enregistre que " << target->layout.count << " mémoires radio : la mémoire "
                << MemoryLetter(*memory) << " n'existe pas sur l'Koral.\n";
    return kExitFailed;
  }
  RadioMemories memories;
  memories[static_cast<size_t>(*memory)] = *megahertz;
  if (ReportFailure(WriteRadioMemories(target->image, target->layout, memories), context, "Écriture"))
    return kExitFailed;
  return kExitOk;
}

}  // namespace

std::vector<std::string> RadioCommand::Usage() const {
  return {"radio show  affiche les mémoires radio A à T (MHz)",
          "radio set LETTRE MHZ  enregistre une mémoire (87.5 à 108.0)"};
}

int RadioCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.size() == 1 && args[0] == "show") return Show(context);
  if (args.size() == 3 && args[0] == "set") return Set(args[1], args[2], context);
  return kExitUsage;
}

}  // namespace koral::cli
