// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/PlayerFileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/config/TextEncoding.h"
#include "core/copy/CopyLeftovers.h"
#include "core/copy/PartialCopyNames.h"
#include "core/files/ErrorText.h"
#include "core/files/Paths.h"
#include "core/files/PlayerVolume.h"
#include "core/files/SizeText.h"
#include "core/files/VfatNames.h"

namespace koral {

namespace fs = std::filesystem;

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsDotOrDotDot(const fs::path& name) { return name == "." || name == ".."; }

bool IsSymlink(const fs::path& path) {
  std::error_code error;
  return fs::is_symlink(fs::symlink_status(path, error));
}

bool IsRealFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(fs::symlink_status(path, error));
}

// A file with other names may also be reached from outside the player: its
// mode is left alone (the player's vfat has no such files).
bool HasOtherNames(const fs::path& path) {
  std::error_code error;
  return fs::hard_link_count(path, error) != 1;
}

std::vector<fs::path> EntriesOf(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  return entries;
}

// Removes entries of one volume, the player's: a mount point met on the way
// (another device, or a bind mount of the same one) is reported and left
// whole, what it holds included.
class VolumeRemover {
 public:
  explicit VolumeRemover(const VolumeId& volume) : m_volume(volume) {}

  // Never follows a link: a link, even to a folder, goes as a file would.
  void DeleteAnyEntry(const fs::path& entry) {
    const std::optional<VolumeId> volume = VolumeOf(entry);
    if (volume && *volume != m_volume) {
      m_failures.push_back({entry.string(), std::make_error_code(std::errc::cross_device_link), true, true});
      return;
    }
    if (volume && IsRealFolder(entry)) DeleteFolderTree(entry);
    else DeleteFile(entry);
  }

  std::vector<RemovalFailure> TakeFailures() { return std::move(m_failures); }

 private:
  void DeleteFolderTree(const fs::path& folder) {
    std::error_code error;
    // A folder without the owner's rights cannot be emptied on this system.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (const fs::path& entry : EntriesOf(folder)) DeleteAnyEntry(entry);
    if (!fs::remove(folder, error) && error) m_failures.push_back({folder.string(), error, true});
  }

  // Makes the file deletable first; a failure of either step leaves it in place.
  void DeleteFile(const fs::path& path) {
    std::error_code error;
    if (!IsSymlink(path) && !HasOtherNames(path))
      fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    if (!fs::remove(path, error) && error) m_failures.push_back({path.string(), error, false});
  }

  VolumeId m_volume;
  std::vector<RemovalFailure> m_failures;
};

// Counts what VolumeRemover would remove, along the same walk.
class VolumeCounter {
 public:
  VolumeCounter(const VolumeId& volume, std::stop_token stop) : m_volume(volume), m_stop(std::move(stop)) {}

  void CountTopEntry(const fs::path& entry) {
    ++m_tally.entries;
    CountAnyEntry(entry);
  }

  const RemovalTally& Tally() const { return m_tally; }

 private:
  void CountAnyEntry(const fs::path& entry) {
    if (m_stop.stop_requested()) return;
    const std::optional<VolumeId> volume = VolumeOf(entry);
    if (!volume || *volume != m_volume) return;  // gone, or another volume the delete leaves whole
    if (IsRealFolder(entry)) {
      for (const fs::path& inner : EntriesOf(entry)) CountAnyEntry(inner);
      return;
    }
    ++m_tally.files;
    std::error_code error;
    if (fs::is_regular_file(fs::symlink_status(entry, error))) {
      const std::uintmax_t bytes = fs::file_size(entry, error);
      if (!error) m_tally.bytes += bytes;
    }
  }

  VolumeId m_volume;
  std::stop_token m_stop;
  RemovalTally m_tally;
};

// The copies' own hidden folder: a copy running from another process keeps
// its temporaries there, so emptying takes only what dead copies left.
bool IsCopiesFolder(const fs::path& entry) {
  std::error_code error;
  return entry.filename() == kPartialFolderName && fs::is_directory(fs::symlink_status(entry, error));
}

bool IsKeptWhenEmptying(const fs::path& entry) {
  if (IsCopiesFolder(entry)) return true;
  std::error_code error;
  if (fs::is_directory(fs::status(entry, error))) return false;
  const std::string type = FileType(entry.filename().string());
  return EqualNoCase(type, "DAT") || EqualNoCase(type, "INI");
}

// The player's own file system takes a backslash as a separator, and refuses
// it inside a name: a typed "Musique\Rock" means Rock inside Musique.
std::string WithSlashes(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

// Besides "..", a character the copy would turn into '_' (control characters,
// " * : < > ? |) is refused: the player keeps no such name.
bool IsBadFolderName(const std::string& name) {
  if (name.empty() || name.front() == '/') return true;
  const fs::path parts(name);
  const bool climbs = std::any_of(parts.begin(), parts.end(), [](const fs::path& part) { return part == ".."; });
  return climbs || std::any_of(name.begin(), name.end(), [](char c) { return c != '/' && RefusedByVfat(c); });
}

// What stands where a folder was to be made.
int ExistingEntryError(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (fs::is_symlink(status)) return ELOOP;
  return fs::is_directory(status) ? EISDIR : EEXIST;
}

}  // namespace

std::string FolderCreationFailureReason(const FolderCreation& creation) {
  const int error = creation.error.value();
  if (error == EXDEV) return "'" + creation.where + "' est un autre volume monté dans l'Koral : rien n'y a été créé";
  if (error == ENOENT && !creation.where.empty()) return "le dossier '" + creation.where + "' n'existe pas sur l'Koral";
  return DescribeError(error);
}

std::string FolderRenameText(const FolderCreation& creation) {
  if (creation.name == creation.typed) return {};
  return "Répertoire créé sous le nom '" + creation.name + "' : l'Koral ne garde pas le nom '" + creation.typed +
         "' tel quel.";
}

PlayerPathError::PlayerPathError(Reason reason, std::string path)
    : std::runtime_error("path refused on the player: " + path), m_reason(reason), m_path(std::move(path)) {}

std::string RemovalFailureText(const RemovalFailure& failure) {
  if (failure.otherVolume)
    return "'" + failure.path + "' est un autre volume monté dans l'Koral : rien n'y a été supprimé.";
  return std::string("Impossible de supprimer ") + (failure.folder ? "le dossier '" : "le fichier '") + failure.path +
         "' : " + RemovalFailureReason(failure) + ".";
}

std::string RemovalFailureReason(const RemovalFailure& failure) {
  const int error = failure.error.value();
  return error == ENOTEMPTY || error == EEXIST ? "il n'est pas vide" : DescribeError(error);
}

std::optional<VolumeId> VolumeOf(const fs::path& entry) {
  struct statx info {};
  if (statx(AT_FDCWD, entry.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &info) != 0) return std::nullopt;
  VolumeId volume{makedev(info.stx_dev_major, info.stx_dev_minor), std::nullopt};
  if (info.stx_mask & STATX_MNT_ID) volume.mount = info.stx_mnt_id;
  return volume;
}

PlayerFiles::PlayerFiles(const std::string& playerRoot) {
  using Reason = PlayerPathError::Reason;
  if (playerRoot.empty()) throw PlayerPathError(Reason::NoPlayer, playerRoot);
  std::error_code error;
  m_root = fs::canonical(playerRoot, error);
  // Emptying "/" would empty the machine: a root must be a real folder below it.
  if (error || !fs::is_directory(m_root, error) || m_root == m_root.root_path())
    throw PlayerPathError(Reason::NoPlayer, playerRoot);
  const std::optional<VolumeId> volume = VolumeOf(m_root);
  if (!volume) throw PlayerPathError(Reason::NoPlayer, playerRoot);
  m_volume = *volume;
}

bool PlayerFiles::Holds(const fs::path& resolved) const { return PathHolds(m_root, resolved); }

std::optional<fs::path> PlayerFiles::ResolveEntry(const std::string& path) const {
  const fs::path entry(WithoutTrailingSlashes(path));
  const fs::path name = entry.filename();
  if (name.empty() || IsDotOrDotDot(name)) throw PlayerPathError(PlayerPathError::Reason::OutsidePlayer, path);
  std::error_code error;
  const fs::path parent = fs::canonical(entry.parent_path().empty() ? fs::path(".") : entry.parent_path(), error);
  if (error) return std::nullopt;
  if (!Holds(parent)) throw PlayerPathError(PlayerPathError::Reason::OutsidePlayer, path);
  return parent / name;
}

std::vector<RemovalFailure> PlayerFiles::DeleteEntry(const std::string& path) const {
  const std::optional<fs::path> entry = ResolveEntry(path);
  if (!entry) return {};
  VolumeRemover remover(m_volume);
  std::error_code error;
  if (fs::exists(fs::symlink_status(*entry, error))) remover.DeleteAnyEntry(*entry);
  return remover.TakeFailures();
}

bool PlayerFiles::IsEmpty() const { return EntriesOf(m_root).empty(); }

std::vector<RemovalFailure> PlayerFiles::EmptyPlayer() const {
  VolumeRemover remover(m_volume);
  for (const fs::path& entry : EntriesOf(m_root))
    if (!IsKeptWhenEmptying(entry)) remover.DeleteAnyEntry(entry);
  RemoveDeadCopyRuns(m_root.string());
  return remover.TakeFailures();
}

RemovalTally PlayerFiles::TallyEntries(const std::vector<std::string>& paths, std::stop_token stop) const {
  VolumeCounter counter(m_volume, std::move(stop));
  for (const std::string& path : paths) {
    std::optional<fs::path> entry;
    try {
      entry = ResolveEntry(path);
    } catch (const PlayerPathError&) {
      continue;  // the delete refuses it and says so
    }
    std::error_code error;
    if (entry && fs::exists(fs::symlink_status(*entry, error))) counter.CountTopEntry(*entry);
  }
  return counter.Tally();
}

RemovalTally PlayerFiles::TallyEmptying(std::stop_token stop) const {
  VolumeCounter counter(m_volume, std::move(stop));
  for (const fs::path& entry : EntriesOf(m_root))
    if (!IsKeptWhenEmptying(entry)) counter.CountTopEntry(entry);
  return counter.Tally();
}

FolderCreation PlayerFiles::CreateFolder(const std::string& folder, const std::string& typedName) const {
  using Reason = PlayerPathError::Reason;
  const std::string name = WithSlashes(typedName);
  if (IsBadFolderName(name)) throw PlayerPathError(Reason::BadName, typedName);
  const fs::path target(WithoutTrailingSlashes(JoinPath(folder, name)));
  if (IsDotOrDotDot(target.filename())) throw PlayerPathError(Reason::BadName, typedName);
  FolderCreation creation{{}, ToVfatName(target.filename().string()), target.filename().string(), {}};
  const fs::path parent = fs::canonical(target.parent_path(), creation.error);
  if (creation.error) {
    if (creation.error.value() == ENOENT) creation.where = FirstMissingPart(target.parent_path());
    return creation;
  }
  if (!Holds(parent)) throw PlayerPathError(Reason::OutsidePlayer, target.string());
  if (const auto mount = CPlayerVolume(m_root).MountHolding(parent)) {
    creation.error = std::make_error_code(std::errc::cross_device_link);
    creation.where = mount->string();
    return creation;
  }
  const fs::path made = parent / creation.name;
  if (!fs::create_directory(made, creation.error) && (!creation.error || creation.error.value() == EEXIST))
    creation.error = std::error_code(ExistingEntryError(made), std::generic_category());
  return creation;
}

// The highest missing folder of the path, from the player root; empty when
// the root itself is gone (the player was unplugged) or nothing is missing.
std::string PlayerFiles::FirstMissingPart(const fs::path& folder) const {
  std::error_code error;
  if (!fs::is_directory(m_root, error)) return {};
  fs::path missing = folder;
  while (missing.has_relative_path() && !fs::exists(missing.parent_path(), error)) missing = missing.parent_path();
  const fs::path parent = fs::canonical(missing.parent_path(), error);
  if (error || fs::exists(missing, error) || !Holds(parent)) return {};
  return (parent / missing.filename()).lexically_relative(m_root).string();
}

}  // namespace koral
