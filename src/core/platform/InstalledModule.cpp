// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/InstalledModule.h"

namespace koral {

namespace fs = std::filesystem;

fs::path InstalledModulePath(std::string_view fileName) {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path beside = (exe.parent_path() / KORAL_MODULE_DIR_FROM_BIN / fileName).lexically_normal();
    if (fs::exists(beside, error)) return beside;
  }
  return fs::path(KORAL_MODULE_DIR) / fileName;
}

}  // namespace koral
