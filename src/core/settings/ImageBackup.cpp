#include "settings/ImageBackup.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>
#include <set>
#include <vector>

#include "platform/XdgFolders.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr size_t kBackupsKept = 20;

// Images already backed up in this run; shared by every window on purpose.
std::set<fs::path>& BackedUpImages() {
  static std::set<fs::path> images;
  return images;
}

std::string TimestampedName() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local {};
  localtime_r(&seconds, &local);
  char name[64];
  std::snprintf(name, sizeof name, "Settings-%04d%02d%02d-%02d%02d%02d-%03d.dat", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return name;
}

void PruneOldBackups(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::path> backups;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.path().filename().string().rfind("Settings-", 0) == 0) backups.push_back(entry.path());
  if (backups.size() <= kBackupsKept) return;
  std::sort(backups.begin(), backups.end());  // the names sort by date
  for (size_t i = 0; i + kBackupsKept < backups.size(); ++i) fs::remove(backups[i], error);
}

}  // namespace

fs::path ImageBackupFolder() { return XdgStateHome() / "koral-config" / "backups"; }

void BackUpImageBeforeFirstWrite(const fs::path& image) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::error_code error;
  const fs::path key = fs::weakly_canonical(image, error);
  if (!BackedUpImages().insert(error ? image : key).second) return;
  const fs::path folder = ImageBackupFolder();
  fs::create_directories(folder, error);
  fs::copy_file(image, folder / TimestampedName(), fs::copy_options::overwrite_existing, error);
  PruneOldBackups(folder);
}

void ResetImageBackupsForTesting() { BackedUpImages().clear(); }

}  // namespace koral
