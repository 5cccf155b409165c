#include "config/ProgramFolder.h"

#include <cstdlib>

#include "platform/XdgFolders.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : exe.parent_path();
}

void SeedFrom(const fs::path& defaults, const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  for (const char* name : {"Config.ini", "Radios.ini"}) {
    if (!fs::exists(folder / name, error) && fs::exists(defaults / name, error))
      fs::copy_file(defaults / name, folder / name, error);
  }
}

}  // namespace

fs::path InstalledDataFolder() {
#ifdef KORAL_DATA_DIR
  return KORAL_DATA_DIR;
#else
  return "/usr/local/share/koral-config";
#endif
}

fs::path ProgramFolder() {
  const char* explicitFolder = std::getenv("KORAL_CONFIG_DIR");
  if (explicitFolder != nullptr && *explicitFolder != '\0') return explicitFolder;
  std::error_code error;
  const fs::path exeFolder = ExecutableFolder();
  if (!exeFolder.empty() && fs::exists(exeFolder / "Config.ini", error)) return exeFolder;
  const fs::path userFolder = XdgConfigHome() / "koral-config";
  SeedFrom(InstalledDataFolder(), userFolder);
  return userFolder;
}

fs::path ConfigIniPath() { return ProgramFolder() / "Config.ini"; }
fs::path RadiosIniPath() { return ProgramFolder() / "Radios.ini"; }

}  // namespace koral
