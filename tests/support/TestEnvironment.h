// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/platform/RunContext.h"

namespace koral::test {

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
  // Removes everything in it, and keeps the folder.
  void Empty();

 private:
  std::filesystem::path m_path;
};

void WriteFile(const std::filesystem::path& path, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& path);
// The names of a folder's entries, sorted.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

// A sandbox for one test: its own program folder (a copy of the shipped
// Config.ini and Radios.ini), its own player folder and XDG folders, all
// in the run context handed to the program. Everything goes afterwards.
// While it lives it is the current sandbox (sandboxes do not nest).
class TestEnvironment {
 public:
  TestEnvironment();
  ~TestEnvironment();
  // Starts again from a fresh sandbox, for a fixture that keeps one across tests.
  void Renew();
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  // What a front end would build for this sandbox; tests may change it
  // (a mount table of their own) before handing it over.
  koral::RunContext& Context() { return m_context; }
  const koral::RunContext& Context() const { return m_context; }
  // The same, as the variables a process of the program is started with.
  std::vector<std::string> Variables() const;

  std::filesystem::path ConfigDir() const { return m_root.Path() / "config"; }
  std::filesystem::path ConfigIni() const { return ConfigDir() / "Config.ini"; }
  std::filesystem::path RadiosIni() const { return ConfigDir() / "Radios.ini"; }
  std::filesystem::path PlayerDir() const { return m_root.Path() / "player"; }
  std::filesystem::path SettingsImage() const { return PlayerDir() / "Settings.dat"; }
  std::filesystem::path ComputerDir() const { return m_root.Path() / "computer"; }
  std::filesystem::path StateDir() const { return m_root.Path() / "state"; }

  // Replaces Config.ini by the given text (an empty text removes it).
  void SetConfigIni(const std::string& text) const;
  // Writes Settings.dat: the bytes given, or 512 zero bytes.
  void SetSettingsImage(const std::string& bytes = std::string(512, '\0')) const;
  std::string SettingsImageBytes() const;
  // No player named (tests also put an empty volume list in place).
  void ForgetPlayer() { m_context.player.clear(); }
  // A file where the state folder of the backups should be, so that the
  // folder cannot be made: permission bits would not stop root, as CI runs.
  void BlockBackupFolder() const;

 private:
  void Fill();

  TempDir m_root;
  koral::RunContext m_context;
};

// The sandbox of the running test, nullptr when there is none.
TestEnvironment* CurrentSandbox();
// Its context, which windows keep while they live; throws with no sandbox.
koral::RunContext& CurrentContext();
// A copy of it; with no sandbox, what the test's own environment gives.
koral::RunContext SandboxContext();

// The shipped res/ folder.
std::filesystem::path SourceResourceDir();

}  // namespace koral::test
