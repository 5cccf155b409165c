// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyPlan.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/config/TextEncoding.h"
#include "core/copy/PartialCopyNames.h"
#include "core/copy/Playlist.h"
#include "core/files/Paths.h"
#include "core/files/VfatNames.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

using FolderId = std::pair<dev_t, ino_t>;

std::optional<FolderId> IdOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return FolderId{info.st_dev, info.st_ino};
}

// A path with its links resolved; empty when it cannot be.
fs::path Resolved(const std::string& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  return error ? fs::path() : resolved;
}

// A folder of the copy, with its links resolved once: below it, only the
// entries that are links need resolving again.
struct ResolvedPair {
  fs::path source;
  fs::path destination;

  // True when the destination is the source or lies below it.
  bool DestinationInsideSource() const {
    return !source.empty() && !destination.empty() && PathHolds(source, destination);
  }
};

struct ListedEntry {
  fs::path path;
  bool isFolder;
  bool isLink;
};

// A folder's entries, or the error that stopped the listing: a folder read
// only in part is not copied in part.
std::error_code ListFolder(const std::string& folder, std::vector<ListedEntry>& entries) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    // The listing knows both: no extra stat per file.
    entries.push_back({it->path(), it->is_directory(kind), it->is_symlink(kind)});
  }
  return error;
}

// The deepest folder that holds every destination.
std::string CommonFolder(const std::vector<std::string>& destinations) {
  if (destinations.empty()) return {};
  std::string common = ParentFolder(destinations.front());
  const auto holds = [&common](const std::string& path) {
    return common == "/" || (path.starts_with(common) && path.size() > common.size() && path[common.size()] == '/');
  };
  for (const std::string& destination : destinations)
    for (std::string parent; !holds(destination) && (parent = ParentFolder(common)) != common;) common = parent;
  return common;
}

// What the plan needs to know of a file: looked at once, even when a
// playlist names it twice.
struct FileFacts {
  bool regular = false;  // others fail when reached
  bool convert = false;
  std::uint64_t bytes = 0;  // on the player
};

class PlanBuilder {
 public:
  explicit PlanBuilder(const CopyJob& job)
      : m_job(job), m_converter(IsConvertRate(job.options.convertRate) ? job.converter : nullptr) {}

  CopyPlan Build() {
    m_plan.playerRoot = m_job.playerRoot;
    if (m_converter) {
      m_plan.converter = m_converter;
      m_plan.convertRate = m_job.options.convertRate;
    }
    const size_t count = std::min(m_job.sources.size(), m_job.destinations.size());
    for (size_t i = 0; i < count; ++i) {
      // The parent entry is never copied: it would copy the whole parent
      // folder into the player folder's parent.
      const std::string name = fs::path(m_job.sources[i]).filename().string();
      if (name == "." || name == "..") continue;
      const fs::path destination(m_job.destinations[i]);
      AddEntry(m_job.sources[i], destination.parent_path().string(), destination.filename().string(), std::nullopt,
               [&](const std::string& safeDestination) {
                 return ResolvedPair{Resolved(m_job.sources[i]), Resolved(safeDestination)};
               });
    }
    ForgetRenamesOfRefused();
    m_plan.playerRoot = m_job.playerRoot.empty() ? CommonFolder(m_job.destinations) : m_job.playerRoot;
    return std::move(m_plan);
  }

 private:
  // The name made vfat-safe; a change is kept for the report.
  std::string VfatName(const std::string& source, const std::string& name) {
    std::string safe = ToVfatName(name);
    if (safe != name) m_plan.renames.push_back({source, name, safe});
    return safe;
  }

  FileFacts Examine(const std::string& source) {
    const auto known = m_facts.find(source);
    if (known != m_facts.end()) return known->second;
    FileFacts facts;
    struct stat info {};
    facts.regular = stat(source.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    facts.bytes = facts.regular ? static_cast<std::uint64_t>(info.st_size) : 0;
    // Only regular files are probed: opening a pipe could wait forever.
    if (facts.regular && m_converter) {
      const AudioProbe probe = m_converter->Probe(source);
      facts.convert = probe.kind == AudioKind::Convertible;
      if (facts.convert) facts.bytes = EstimatedMp3Bytes(probe.seconds, m_job.options.convertRate);
    }
    if (m_converter) m_facts.emplace(source, facts);  // a probe is worth keeping; a stat is not
    return facts;
  }

  // The name a file has on the player, before it is made vfat-safe.
  static std::string PlayerName(const std::string& name, const FileFacts& facts) {
    return facts.convert ? Mp3Name(name) : name;
  }

  // A refused entry reaches the player under no name. Its rename is the last
  // one of its source: an earlier one is of the same source copied elsewhere.
  void ForgetRenamesOfRefused() {
    std::unordered_map<std::string, int> refusals;
    for (const CopyFailure& refused : m_plan.refused) ++refusals[refused.path];
    std::vector<CopyRename>& renames = m_plan.renames;
    for (size_t i = renames.size(); i-- > 0;) {
      const auto found = refusals.find(renames[i].source);
      if (found == refusals.end() || found->second == 0) continue;
      --found->second;
      renames.erase(renames.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }

  // `name`: the entry's name in `folder` on the player, before a
  // conversion's extension and vfat-safe characters.
  template <typename Resolve>
  void AddEntry(const std::string& source, const std::string& folder, const std::string& name,
                std::optional<bool> isFolder, const Resolve& resolve) {
    std::error_code error;
    const bool isDirectory = isFolder ? *isFolder : fs::is_directory(source, error);
    const FileFacts facts = isDirectory ? FileFacts{} : Examine(source);
    const std::string safeName = VfatName(source, PlayerName(name, facts));
    const std::string destination = JoinPath(folder, safeName);
    // The copy keeps its temporaries under that name, FAT ignoring the case.
    if (IsPartialFolderName(safeName)) {
      m_plan.refused.push_back({source, CopyFault::NameReserved, 0});
      return;
    }
    if (isDirectory) AddFolder(source, destination, resolve(destination));
    else AddFile(source, destination, facts);
  }

  void AddFile(const std::string& source, const std::string& destination, const FileFacts& facts) {
    if (facts.regular && m_job.maxFileSize && facts.bytes > *m_job.maxFileSize) {
      m_plan.refused.push_back({source, CopyFault::TooBigForPlayer, 0});
      return;
    }
    // Two files that fall on one name (by case, or by the characters made
    // vfat-safe) would leave only the last on the player: the first keeps it.
    // FAT ignores the case of ASCII letters: "Song.mp3" and "song.mp3" name one file there.
    if (!m_destinations.insert(LowerAscii(destination)).second) {
      m_plan.refused.push_back({source, CopyFault::NameTaken, 0});
      return;
    }
    if (facts.regular) {
      m_plan.totalBytes += facts.bytes;
      ++m_plan.fileTotal;
    }
    m_plan.steps.push_back({CopyStep::Kind::CopyFile, source, destination, facts.convert, facts.bytes});
  }

  void AddFolder(const std::string& source, const std::string& destination, const ResolvedPair& resolved) {
    if (m_job.options.followPlaylist) AddPlaylistFolder(source, destination, resolved);
    else AddTree(source, destination, resolved);
  }

  void AddPlaylistFolder(const std::string& source, const std::string& destination, const ResolvedPair& resolved) {
    if (RefusedUnlistable(source)) return;
    const auto entries = ReadFolderPlaylist(source);
    if (!entries) return;
    // Onto itself, a numbered name ("02.mp3") could be another entry's file.
    if (resolved.DestinationInsideSource()) {
      m_plan.refused.push_back({source, CopyFault::FolderIntoItself, 0});
      return;
    }
    const std::size_t folderStep = m_plan.steps.size();
    const int filesBefore = m_plan.fileTotal;
    m_plan.steps.push_back({CopyStep::Kind::MakeFolder, source, destination});
    int number = 1;
    for (const PlaylistEntry& entry : *entries) {
      const std::string source = entry.path.string();
      const FileFacts facts = Examine(source);
      const std::string name =
          NumberedName(number++, PlayerName(entry.path.filename().string(), facts), m_job.options.numbersOnly);
      AddFile(source, JoinPath(destination, VfatName(source, name)), facts);
    }
    // A playlist with nothing to copy leaves no empty folder behind; its
    // missing entries are still reported as they are reached.
    if (m_plan.fileTotal == filesBefore)
      m_plan.steps.erase(m_plan.steps.begin() + static_cast<std::ptrdiff_t>(folderStep));
  }

  void AddTree(const std::string& source, const std::string& destination, const ResolvedPair& resolved) {
    if (resolved.DestinationInsideSource()) {
      m_plan.refused.push_back({source, CopyFault::FolderIntoItself, 0});
      return;
    }
    const auto id = IdOf(source);
    if (id && std::find(m_ancestors.begin(), m_ancestors.end(), *id) != m_ancestors.end()) {
      m_plan.refused.push_back({source, CopyFault::LinkLoop, 0});
      return;
    }
    std::vector<ListedEntry> entries;
    if (const std::error_code error = ListFolder(source, entries)) {
      m_plan.refused.push_back({source, CopyFault::SourceUnreadable, error.value()});
      return;
    }
    if (id) m_ancestors.push_back(*id);
    m_plan.steps.push_back({CopyStep::Kind::MakeFolder, source, destination});
    for (const ListedEntry& entry : entries) {
      AddEntry(entry.path.string(), destination, entry.path.filename().string(), entry.isFolder,
               [&](const std::string& sub) {
                 return ResolvedPair{
                     entry.isLink || resolved.source.empty() ? Resolved(entry.path.string())
                                                             : resolved.source / entry.path.filename(),
                     resolved.destination.empty() ? Resolved(sub) : resolved.destination / fs::path(sub).filename()};
               });
    }
    if (id) m_ancestors.pop_back();
  }

  // A folder that cannot be listed is reported, not taken for one without a playlist.
  bool RefusedUnlistable(const std::string& folder) {
    std::error_code error;
    const fs::directory_iterator listing(folder, error);
    if (error) m_plan.refused.push_back({folder, CopyFault::SourceUnreadable, error.value()});
    return static_cast<bool>(error);
  }

  const CopyJob& m_job;
  const AudioConverter* m_converter;  // null: nothing converts
  CopyPlan m_plan;
  std::unordered_map<std::string, FileFacts> m_facts;  // by source
  std::vector<FolderId> m_ancestors;                   // the folders being walked, to stop link loops
  std::unordered_set<std::string> m_destinations;      // of the files, folded as FAT compares them
};

}  // namespace

CopyPlan BuildCopyPlan(const CopyJob& job) { return PlanBuilder(job).Build(); }

float NeedInMebibytes(const CopyPlan& plan) {
  return static_cast<float>(static_cast<double>(plan.totalBytes) / 1048576.0);
}

std::string NumberedName(int number, const std::string& entryName, bool numbersOnly) {
  const std::string digits = (number < 10 ? "0" : "") + std::to_string(number);
  return numbersOnly ? digits + ".mp3" : digits + " - " + entryName;
}

std::string Mp3Name(const std::string& name) { return fs::path(name).replace_extension(".mp3").string(); }

}  // namespace koral
