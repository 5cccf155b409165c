// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ImageBackup.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "core/platform/AtomicFile.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr size_t kBackupsKept = 20;
constexpr std::string_view kBackupPrefix = "Settings-";
constexpr std::string_view kBackupSuffix = ".dat";

// Images already backed up in this run; shared by every window on purpose.
std::set<fs::path>& BackedUpImages() {
  static std::set<fs::path> images;
  return images;
}

// UTC, so that the names sort by age across daylight-saving changes.
std::string TimestampedName(int attempt) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char name[80];
  std::snprintf(name, sizeof name, "Settings-%04d%02d%02d-%02d%02d%02d-%03dZ-%d.dat", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis), attempt);
  return name;
}

// A kept copy, not a temporary one left by a crash (those end otherwise).
bool IsBackupName(const std::string& name) {
  return name.size() > kBackupPrefix.size() + kBackupSuffix.size() && name.starts_with(kBackupPrefix) &&
         name.ends_with(kBackupSuffix);
}

// Two images backed up within the same millisecond both keep their copy.
std::optional<fs::path> FreshName(const fs::path& folder) {
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path target = folder / TimestampedName(attempt);
    if (!fs::exists(target, error) && !error) return target;
  }
  return std::nullopt;
}

// The new name must outlast a crash as well as the bytes it names.
bool SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
  close(fd);
  return synced;
}

// The bytes reach the disk under a temporary name first and get their final
// name only once synced; the size on disk is then checked against the
// image's, so that a full disk never leaves a cut-off copy behind.
bool KeepCompleteCopy(const std::string& bytes, uintmax_t imageSize, const fs::path& target) {
  if (!WriteFileAtomically(target, bytes)) return false;
  std::error_code error;
  if (fs::file_size(target, error) == imageSize && !error && SyncFolder(target.parent_path())) return true;
  fs::remove(target, error);
  return false;
}

bool CopyImage(const fs::path& image, const fs::path& folder) {
  std::error_code error;
  const uintmax_t imageSize = fs::file_size(image, error);
  if (error) return false;
  // Far larger than any player's image: not taken for one.
  const auto bytes = ReadWholeFile(image, kSettingsImageSizeLimit);
  if (!bytes || bytes->size() != imageSize) return false;
  if (bytes->empty()) return true;  // nothing to keep; an empty copy would push out a real one
  fs::create_directories(folder, error);
  if (!fs::is_directory(folder, error)) return false;
  const auto target = FreshName(folder);
  return target && KeepCompleteCopy(*bytes, imageSize, *target);
}

// Empty copies, which earlier versions could leave on a full disk, go first.
void PruneOldBackups(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> backups;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (!IsBackupName(entry.path().filename().string())) continue;
    if (entry.is_regular_file(error) && entry.file_size(error) == 0 && !error) fs::remove(entry.path(), error);
    else backups.push_back(entry.path());
  }
  if (backups.size() <= kBackupsKept) return;
  std::sort(backups.begin(), backups.end());  // the names sort by date
  for (size_t i = 0; i + kBackupsKept < backups.size(); ++i) fs::remove(backups[i], error);
}

fs::path& BackupFolder() {
  static fs::path folder;
  return folder;
}

}  // namespace

void SetImageBackupFolder(const RunContext& context) {
  BackupFolder() = context.stateHome.empty() ? fs::path() : context.stateHome / "koral-config" / "backups";
}

fs::path ImageBackupFolder() { return BackupFolder(); }

std::string BackupRefusedMessage() {
  return "La copie de sauvegarde de Settings.dat n'a pas pu être faite dans le dossier « " +
         ImageBackupFolder().string() +
         " ».\nRien n'a été écrit sur l'Koral. Vérifiez que ce dossier peut être créé et que son disque n'est pas "
         "plein.";
}

bool BackUpImageBeforeFirstWrite(const fs::path& image) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::error_code error;
  fs::path key = fs::weakly_canonical(image, error);
  if (error) key = image;
  if (BackedUpImages().contains(key)) return true;
  const fs::path folder = ImageBackupFolder();
  if (!CopyImage(image, folder)) return false;
  BackedUpImages().insert(key);
  PruneOldBackups(folder);
  return true;
}

void ResetImageBackupsForTesting() { BackedUpImages().clear(); }

}  // namespace koral
