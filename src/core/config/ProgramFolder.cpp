// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/ProgramFolder.h"

#include "core/firmware/NewFirmware.h"

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

struct FolderChoice {
  fs::path folder;
  bool usersOwn;  // the seeded XDG folder
};

FolderChoice ChooseProgramFolder(const RunContext& context) {
  if (!context.configDir.empty()) return {context.configDir, false};
  std::error_code error;
  const fs::path exeFolder = ExecutableFolder();
  if (!exeFolder.empty() && fs::exists(exeFolder / "Config.ini", error)) return {exeFolder, false};
  const fs::path userFolder = context.configHome / "koral-config";
  SeedFrom(InstalledDataFolder(), userFolder);
  return {userFolder, true};
}

}  // namespace

fs::path InstalledDataFolder() {
#if defined(KORAL_DATA_DIR) && defined(KORAL_DATA_DIR_FROM_BIN)
  std::error_code error;
  const fs::path exeFolder = ExecutableFolder();
  const fs::path besideExecutable = (exeFolder / KORAL_DATA_DIR_FROM_BIN).lexically_normal();
  if (!exeFolder.empty() && fs::exists(besideExecutable / "Config.ini", error)) return besideExecutable;
  return KORAL_DATA_DIR;
#else
  return "/usr/local/share/koral-config";
#endif
}

fs::path ProgramFolder(const RunContext& context) { return ChooseProgramFolder(context).folder; }

fs::path PrepareProgramFolder(const RunContext& context) {
  const FolderChoice choice = ChooseProgramFolder(context);
  if (choice.usersOwn) AddNewFirmware(InstalledDataFolder() / "Config.ini", choice.folder / "Config.ini");
  return choice.folder;
}

fs::path ConfigIniPath(const RunContext& context) { return ProgramFolder(context) / "Config.ini"; }
fs::path RadiosIniPath(const RunContext& context) { return ProgramFolder(context) / "Radios.ini"; }

}  // namespace koral
