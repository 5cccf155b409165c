// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/settings/ImageBackup.h"

namespace koral::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "koral-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code error;
  Empty();
  fs::remove(m_path, error);
}

void TempDir::Empty() {
  std::error_code error;
  // Read-only entries left by a test must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(m_path, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error))
    if (!it->is_symlink(error))  // never the target of a link, which may lie outside
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
  std::vector<fs::path> entries;
  for (auto it = fs::directory_iterator(m_path, error); !error && it != fs::directory_iterator(); it.increment(error))
    entries.push_back(it->path());
  for (const fs::path& entry : entries) fs::remove_all(entry, error);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> EntryNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

fs::path SourceResourceDir() { return fs::path(KORAL_SOURCE_DIR) / "res"; }

TestEnvironment::TestEnvironment() { Fill(); }

void TestEnvironment::Renew() {
  m_root.Empty();
  Fill();
}

void TestEnvironment::Fill() {
  fs::create_directories(ConfigDir());
  fs::create_directories(PlayerDir());
  fs::create_directories(ComputerDir());
  fs::copy_file(SourceResourceDir() / "Config.ini", ConfigIni());
  fs::copy_file(SourceResourceDir() / "Radios.ini", RadiosIni());
  setenv("KORAL_CONFIG_DIR", ConfigDir().c_str(), 1);
  setenv("KORAL_PLAYER", PlayerDir().c_str(), 1);
  setenv("XDG_STATE_HOME", StateDir().c_str(), 1);
  setenv("XDG_DATA_HOME", (m_root.Path() / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (m_root.Path() / "xdg-config").c_str(), 1);
  ResetImageBackupsForTesting();
}

TestEnvironment::~TestEnvironment() {
  for (const char* name : {"KORAL_CONFIG_DIR", "KORAL_PLAYER", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
    unsetenv(name);
}

void TestEnvironment::SetConfigIni(const std::string& text) const {
  if (text.empty()) fs::remove(ConfigIni());
  else WriteFile(ConfigIni(), text);
}

void TestEnvironment::SetSettingsImage(const std::string& bytes) const { WriteFile(SettingsImage(), bytes); }

std::string TestEnvironment::SettingsImageBytes() const { return ReadFile(SettingsImage()); }

void TestEnvironment::ForgetPlayer() const { unsetenv("KORAL_PLAYER"); }

void TestEnvironment::BlockBackupFolder() const { WriteFile(StateDir() / "koral-config", "not a folder"); }

}  // namespace koral::test
