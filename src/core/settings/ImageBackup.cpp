#include "settings/ImageBackup.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// UTC, so that the names sort by age across daylight-saving changes.
std::string TimestampedName(int attempt) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc {};
  gmtime_r(&seconds, &utc);
  char name[80];
  std::snprintf(name, sizeof name, "Settings-%04d%02d%02d-%02d%02d%02d-%03dZ-%d.dat", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis), attempt);
  return name;
}

// Two images backed up within the same millisecond both keep their copy.
void CopyUnderFreshName(const fs::path& image, const fs::path& folder) {
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path target = folder / TimestampedName(attempt);
    if (fs::exists(target, error)) continue;
    fs::copy_file(image, target, fs::copy_options::none, error);
    return;
  }
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
  CopyUnderFreshName(image, folder);
  PruneOldBackups(folder);
}

void ResetImageBackupsForTesting() { BackedUpImages().clear(); }

}  // namespace koral
