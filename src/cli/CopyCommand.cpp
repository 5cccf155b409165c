// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CopyCommand.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>

#include "cli/CopyProgressLine.h"
#include "cli/StopSignals.h"
#include "cli/WholeNumber.h"
#include "convert/AudioConverterLoader.h"
#include "core/copy/AudioConversion.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/CopyLeftovers.h"
#include "core/copy/CopyPlan.h"
#include "core/copy/CopyReport.h"
#include "core/copy/CopyTally.h"
#include "core/copy/Playlist.h"
#include "core/files/Paths.h"
#include "core/platform/VolumeSpace.h"

namespace koral::cli {
namespace {

namespace fs = std::filesystem;

struct CopyArguments {
  CopyOptions options;
  std::string folder;  // relative to the player root
  std::vector<std::string> sources;
};

// 0 without --convert; nullopt for a rate that is not offered.
std::optional<int> ConvertRateOf(const ParsedOptions& options) {
  const std::optional<std::string> value = options.Value("convert");
  if (!value) return 0;
  if (value->empty()) return kDefaultConvertRate;
  const std::optional<int> kbps = ParseWholeNumber(*value);
  if (!kbps || !IsConvertRate(*kbps)) return std::nullopt;
  return *kbps;
}

CopyArguments ReadArguments(const Invocation& invocation) {
  CopyArguments parsed;
  parsed.options.followPlaylist = invocation.options.Has("playlist");
  parsed.options.numbersOnly = invocation.options.Has("numbers-only");
  parsed.options.syncEachChunk = invocation.options.Has("sync-each-chunk");
  parsed.folder = invocation.options.Value("to").value_or("");
  parsed.sources = invocation.operands;
  return parsed;
}

// The destination folder on the player, never outside it.
std::optional<std::string> PlayerFolder(const std::string& root, const std::string& relative) {
  const fs::path inside = fs::path(relative).relative_path().lexically_normal();
  if (!inside.empty() && *inside.begin() == "..") return std::nullopt;
  std::string folder = root;
  for (const fs::path& part : inside)
    if (!part.empty() && part != ".") folder = JoinPath(folder, part.string());
  return folder;
}

// A source as an absolute path without a trailing slash; its name is the
// destination's name ("music/.." names the folder itself, not "..").
std::optional<fs::path> SourcePath(const std::string& source) {
  fs::path path = fs::absolute(source).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  if (!path.has_filename()) return std::nullopt;
  return path;
}

// Keeps the tally of the copy, and its progress line on a terminal.
class CopyWatch final : public CopyObserver {
 public:
  explicit CopyWatch(std::ostream* terminal) {
    if (terminal) m_line.emplace(*terminal, [] { return std::chrono::steady_clock::now(); });
  }

  void OnProgress(const CopyProgress& progress) override {
    m_tally.OnProgress(progress);
    if (m_line) m_line->Show(progress);
  }

  void EndLine() { m_line.reset(); }
  const CCopyTally& Tally() const { return m_tally; }

 private:
  CCopyTally m_tally;
  std::optional<CopyProgressLine> m_line;
};

std::string PlaylistFailureText(const PlaylistUnreadable& unreadable) {
  if (std::string refusal = PlaylistRefusalText(unreadable); !refusal.empty()) return refusal;
  return "Echec de l'ouverture de la playlist : " + unreadable.Playlist().string();
}

bool OnTerminal(const std::ostream& err) { return &err == &std::cerr && isatty(STDERR_FILENO) == 1; }

// What was left out, the names changed (after the copy, as the window
// lists them; a terminal keeps every line) and the summary, last, which
// tells a copy stopped by a signal.
void ReportCopy(const CopyPlan& plan, const CopyResult& result, std::uint64_t bytesCopied,
                std::chrono::milliseconds elapsed, std::ostream& err) {
  const std::string report = FormatCopyReport(result.failures, result.stoppedOnFullPlayer, result.notTried);
  if (!report.empty()) err << report << '\n';
  const std::string renames = FormatRenameReport(WrittenRenames(plan, result.written));
  if (!renames.empty()) err << renames << '\n';
  err << FormatCopySummary(result.filesCopied, bytesCopied, elapsed, plan.refused.size() + result.failures.size(),
                           result.notTried.size());
  if (result.cancelled) err << " ; " << FormatInterruption(plan.fileTotal - result.filesCopied);
  err << '\n';
}

// The plan is the pre-count: its bytes are the need checked against the free space.
int RunCopy(const CopyJob& job, CliContext& context) {
  CopyPlan plan;
  try {
    plan = BuildCopyPlan(job);
  } catch (const PlaylistUnreadable& unreadable) {
    context.err << PlaylistFailureText(unreadable) << '\n';
    return kExitFailed;
  }
  if (!HasRoomFor(NeedInMebibytes(plan), AvailableBytes(*context.playerRoot))) {
    context.err << "Espace libre insuffisant\n";
    return kExitFailed;
  }
  const std::string refused = FormatRefusedReport(plan.refused);
  if (!refused.empty()) context.err << refused << '\n';
  const auto start = std::chrono::steady_clock::now();
  CopyWatch watch(OnTerminal(context.err) ? &context.err : nullptr);
  const StopSignals stopSignals;  // before the copy's threads, which inherit its signal mask
  const CopyResult result = CCopyEngine(job.options, watch, stopSignals.Token()).Run(plan);
  watch.EndLine();
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  ReportCopy(plan, result, watch.Tally().BytesCopied(result.failures), elapsed, context.err);
  if (result.cancelled) return 128 + stopSignals.Received();  // as a shell tells a command ended by that signal
  return plan.refused.empty() && result.failures.empty() ? kExitOk : kExitFailed;
}

}  // namespace

const std::vector<CommandForm>& CopyCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"",
       {"SOURCE..."},
       {{"playlist", "", "suit la playlist (m3u) de chaque dossier"},
        {"numbers-only", "", "ne garde que le numéro de la chanson (avec --playlist)"},
        {"sync-each-chunk", "", "écrit chaque bloc sur l'Koral avant le suivant"},
        {"convert", "KBPS",
         "convertit en MP3 ce que l'Koral ne lit pas, à KBPS kb/s constants (128, 192, 256 ou 320 ; 192 sans valeur)",
         '\0', true},
        {"to", "DOSSIER", "le dossier de l'Koral où copier (depuis sa racine ; par défaut la racine)"}},
       "copie des fichiers et dossiers sur l'Koral",
       OptionPlacement::kAnywhere}};
  return forms;
}

int CopyCommand::Run(const Invocation& invocation, CliContext& context) {
  CopyArguments arguments = ReadArguments(invocation);
  const std::optional<int> convertRate = ConvertRateOf(invocation.options);
  if (!convertRate)
    return ReportUsageError(context.err, "Débit de conversion inconnu : " + *invocation.options.Value("convert") +
                                             " (128, 192, 256 ou 320 kb/s).");
  arguments.options.convertRate = *convertRate;
  if (!RequirePlayer(context)) return kExitFailed;
  RemoveDeadCopyRuns(*context.playerRoot);  // what a killed copy left, whatever this one does
  const auto folder = PlayerFolder(*context.playerRoot, arguments.folder);
  if (!folder || !IsFolderOnPlayer(*folder, *context.playerRoot)) {  // a link may lead off the player
    context.err << "Dossier introuvable sur l'Koral : " << arguments.folder << '\n';
    return kExitFailed;
  }

  // Kept for the whole copy: the job only points at it.
  std::shared_ptr<const AudioConverter> converter;
  if (arguments.options.convertRate != 0) {
    LoadedAudioConverter loaded = LoadAudioConverter(context.run);
    if (!loaded.converter) {
      context.err << loaded.failure << "\nRien n'a été copié.\n";
      return kExitFailed;
    }
    converter = std::move(loaded.converter);
  }

  CopyJob job;
  job.options = arguments.options;
  job.converter = converter.get();
  job.maxFileSize = MaxFileSizeOf(*folder);
  job.playerRoot = *context.playerRoot;
  for (const std::string& source : arguments.sources) {
    const auto path = SourcePath(source);
    if (!path) return ReportUsageError(context.err, "Source invalide : " + source);
    job.sources.push_back(path->string());
    job.destinations.push_back(JoinPath(*folder, path->filename().string()));
  }
  return RunCopy(job, context);
}

}  // namespace koral::cli
