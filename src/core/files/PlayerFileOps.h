// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <system_error>
#include <vector>

namespace koral {

// An operation on the player's files refused before anything was touched.
class PlayerPathError : public std::runtime_error {
 public:
  enum class Reason {
    NoPlayer,       // no usable player root
    OutsidePlayer,  // the path does not name an entry inside the player root
    BadName,        // a folder name that is empty, absolute or climbs with ".."
  };

  PlayerPathError(Reason reason, std::string path);
  Reason GetReason() const { return m_reason; }
  const std::string& Path() const { return m_path; }

 private:
  Reason m_reason;
  std::string m_path;
};

// One entry that could not be removed.
struct RemovalFailure {
  std::string path;
  std::error_code error;
  bool folder = false;       // only folder removals are reported to the user
  bool otherVolume = false;  // another file system mounted inside the player: left whole
};

// The French text for an entry that could not be removed, naming it (the
// Windows 98 option only chooses how folders are removed, not what is said).
std::string RemovalFailureText(const RemovalFailure& failure);
// Its reason alone: "il n'est pas vide", "permission non accordée"...
std::string RemovalFailureReason(const RemovalFailure& failure);

// What a delete or an emptying would remove: files (links and other
// non-folders included) and their bytes, walked as the delete walks.
struct RemovalTally {
  std::uint64_t entries = 0;  // entries removed at the top: the named ones, or the root's
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

// Where an entry lies: its device and, where the system tells it, its mount.
struct VolumeId {
  dev_t device = 0;
  std::optional<std::uint64_t> mount;
  bool operator==(const VolumeId&) const = default;
};
// nullopt when the entry cannot be examined; a link is examined itself.
std::optional<VolumeId> VolumeOf(const std::filesystem::path& entry);

// What CreateFolder did: the folder made, or why none was.
struct FolderCreation {
  std::error_code error;  // empty when the folder was made
  std::string name;       // the last part as made, the copy's name rules applied
  std::string typed;      // the last part as typed
  std::string where;      // the mount point met (EXDEV), or the first missing part from the root (ENOENT)
};

// Why no folder was made, in French: "un dossier porte déjà ce nom", "le
// dossier 'Absent' n'existe pas sur l'Koral", ...
std::string FolderCreationFailureReason(const FolderCreation& creation);
// The name made when it is not the one typed: "Répertoire créé sous le nom
// 'Rock' : ..."; empty when the typed name was kept.
std::string FolderRenameText(const FolderCreation& creation);

// Deletes, empties and creates on the player. Every path is checked, after
// resolving ".." and symbolic links, to lie inside the player root; a
// symbolic link is removed itself, never what it points to; a delete never
// goes into another file system mounted inside the player.
class PlayerFiles {
 public:
  // Throws PlayerPathError(NoPlayer) for an empty, missing or "/" root.
  explicit PlayerFiles(const std::string& playerRoot);

  const std::filesystem::path& Root() const { return m_root; }

  // Deletes one entry: a file, a link, or a folder with all its content.
  // An entry that does not exist is no failure. Throws PlayerPathError when
  // the path does not name an entry inside the player.
  std::vector<RemovalFailure> DeleteEntry(const std::string& path) const;

  // True when the root holds no entry at all.
  bool IsEmpty() const;

  // Deletes everything at the root but the files of type DAT or INI (any
  // case); folders go whatever their name.
  std::vector<RemovalFailure> EmptyPlayer() const;

  // What DeleteEntry on each path, or EmptyPlayer, would remove. A path
  // DeleteEntry would refuse, or one that has vanished, counts nothing. A
  // stop request ends the walk early with what was counted so far.
  RemovalTally TallyEntries(const std::vector<std::string>& paths, std::stop_token stop = {}) const;
  RemovalTally TallyEmptying(std::stop_token stop = {}) const;

  // Creates folder + "/" + name, one level: every part but the last must
  // exist; a backslash separates parts as a slash does; the last part gets
  // the copy's name rules (files/VfatNames.h). Never writes through another
  // volume mounted inside the player. Throws PlayerPathError for a bad name
  // or a place outside the player; otherwise tells what was done.
  FolderCreation CreateFolder(const std::string& folder, const std::string& typedName) const;

 private:
  // The entry's path with its parent resolved; nullopt when the parent is gone.
  std::optional<std::filesystem::path> ResolveEntry(const std::string& path) const;
  std::string FirstMissingPart(const std::filesystem::path& folder) const;
  bool Holds(const std::filesystem::path& resolved) const;

  std::filesystem::path m_root;  // canonical
  VolumeId m_volume;             // the root's
};

}  // namespace koral
