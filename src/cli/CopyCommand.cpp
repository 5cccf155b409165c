#include "cli/CopyCommand.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>

#include "config/TextEncoding.h"
#include "files/CopyEngine.h"
#include "files/CopyPlan.h"
#include "files/CopyReport.h"
#include "files/Paths.h"
#include "files/Playlist.h"
#include "platform/VolumeSpace.h"

namespace koral::cli {
namespace {

namespace fs = std::filesystem;

struct CopyArguments {
  CopyOptions options;
  std::string folder;  // relative to the player root
  std::vector<std::string> sources;
};

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

// One line rewritten in place on a terminal, a few times a second.
class TerminalProgress final : public CopyObserver {
 public:
  explicit TerminalProgress(std::ostream& out) : m_out(out) {}
  ~TerminalProgress() override {
    if (m_shown) m_out << '\n';
  }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void OnProgress(const CopyProgress& progress) override {
    const auto now = std::chrono::steady_clock::now();
    const bool last = progress.fileNumber == progress.fileTotal && progress.fileDone == progress.fileSize;
    if (m_shown && !last && now - m_lastShown < std::chrono::milliseconds(100)) return;
    m_lastShown = now;
    m_shown = true;
    m_out << "\rFichier : " << progress.fileNumber << " / " << progress.fileTotal << "   Total : "
          << FormatFixed(static_cast<double>(progress.totalDone) / 1048576.0, 1) << " / "
          << FormatFixed(static_cast<double>(progress.totalSize) / 1048576.0, 1) << " Mo" << std::flush;
  }

 private:
  std::ostream& m_out;
  std::chrono::steady_clock::time_point m_lastShown;
  bool m_shown = false;
};

class SilentProgress final : public CopyObserver {
 public:
  void OnProgress(const CopyProgress&) override {}
};

std::string PlaylistFailureText(const PlaylistUnreadable& unreadable) {
  if (unreadable.NotRegularFile()) return NotRegularPlaylistText(unreadable.Playlist());
  return "Echec de l'ouverture de la playlist : " + unreadable.Playlist().string();
}

bool OnTerminal(const std::ostream& err) { return &err == &std::cerr && isatty(STDERR_FILENO) == 1; }

// The plan is the pre-count: its bytes are the need checked against the free space.
int RunCopy(const CopyJob& job, CliContext& context) {
  CopyPlan plan;
  try {
    plan = BuildCopyPlan(job);
  } catch (const PlaylistUnreadable& unreadable) {
    context.err << PlaylistFailureText(unreadable) << '\n';
    return kExitFailed;
  }
  const auto need = static_cast<float>(static_cast<double>(plan.totalBytes) / 1048576.0);
  if (!HasRoomFor(need, AvailableBytes(*context.playerRoot))) {
    context.err << "Espace libre insuffisant\n";
    return kExitFailed;
  }
  const std::string refused = FormatRefusedReport(plan.refused);
  if (!refused.empty()) context.err << refused << '\n';
  CopyResult result;
  if (OnTerminal(context.err)) {
    TerminalProgress progress(context.err);
    result = CCopyEngine(job.options, progress).Run(plan);
  } else {
    SilentProgress progress;
    result = CCopyEngine(job.options, progress).Run(plan);
  }
  const std::string report = FormatCopyReport(result.failures, result.stoppedOnFullPlayer);
  if (!report.empty()) context.err << report << '\n';
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
        {"to", "DOSSIER", "le dossier de l'Koral où copier (depuis sa racine ; par défaut la racine)"}},
       "copie des fichiers et dossiers sur l'Koral",
       OptionPlacement::kAnywhere}};
  return forms;
}

int CopyCommand::Run(const Invocation& invocation, CliContext& context) {
  const CopyArguments arguments = ReadArguments(invocation);
  if (!RequirePlayer(context)) return kExitFailed;
  const auto folder = PlayerFolder(*context.playerRoot, arguments.folder);
  if (!folder || !IsFolderOnPlayer(*folder, *context.playerRoot)) {  // a link may lead off the player
    context.err << "Dossier introuvable sur l'Koral : " << arguments.folder << '\n';
    return kExitFailed;
  }

  CopyJob job;
  job.options = arguments.options;
  job.maxFileSize = MaxFileSizeOf(*folder);
  for (const std::string& source : arguments.sources) {
    const auto path = SourcePath(source);
    if (!path) return ReportUsageError(context.err, "Source invalide : " + source);
    job.sources.push_back(path->string());
    job.destinations.push_back(JoinPath(*folder, path->filename().string()));
  }
  return RunCopy(job, context);
}

}  // namespace koral::cli
