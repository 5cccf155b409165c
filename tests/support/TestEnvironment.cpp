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

namespace {
TestEnvironment* g_current = nullptr;
}  // namespace

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
  m_context = RunContext{};
  fs::create_directories(ConfigDir());
  fs::create_directories(PlayerDir());
  fs::create_directories(ComputerDir());
  fs::copy_file(SourceResourceDir() / "Config.ini", ConfigIni());
  fs::copy_file(SourceResourceDir() / "Radios.ini", RadiosIni());
  m_context.configDir = ConfigDir();
  m_context.player = PlayerDir().string();
  m_context.stateHome = StateDir();
  m_context.dataHome = m_root.Path() / "data";
  m_context.configHome = m_root.Path() / "xdg-config";
  SetImageBackupFolder(m_context);
  ResetImageBackupsForTesting();
  g_current = this;
}

TestEnvironment::~TestEnvironment() {
  if (g_current == this) g_current = nullptr;
  SetImageBackupFolder({});
}

std::vector<std::string> TestEnvironment::Variables() const {
  std::vector<std::string> variables = {
      "KORAL_CONFIG_DIR=" + m_context.configDir.string(), "KORAL_PLAYER=" + m_context.player,
      "KORAL_MOUNT_TABLE=" + m_context.mountTable,        "KORAL_SYS_BLOCK=" + m_context.sysBlock,
      "XDG_STATE_HOME=" + m_context.stateHome.string(),   "XDG_DATA_HOME=" + m_context.dataHome.string(),
      "XDG_CONFIG_HOME=" + m_context.configHome.string()};
  if (!m_context.convertModule.empty()) variables.push_back("KORAL_CONVERT_MODULE=" + m_context.convertModule.string());
  return variables;
}

TestEnvironment* CurrentSandbox() { return g_current; }

RunContext& CurrentContext() {
  if (g_current == nullptr) throw std::logic_error("no test sandbox for the window's context");
  return g_current->Context();
}

RunContext SandboxContext() {
  if (g_current != nullptr) return g_current->Context();
  return RunContextFromEnvironment(std::getenv);
}

void TestEnvironment::SetConfigIni(const std::string& text) const {
  if (text.empty()) fs::remove(ConfigIni());
  else WriteFile(ConfigIni(), text);
}

void TestEnvironment::SetSettingsImage(const std::string& bytes) const { WriteFile(SettingsImage(), bytes); }

std::string TestEnvironment::SettingsImageBytes() const { return ReadFile(SettingsImage()); }

void TestEnvironment::BlockBackupFolder() const { WriteFile(StateDir() / "koral-config", "not a folder"); }

}  // namespace koral::test
