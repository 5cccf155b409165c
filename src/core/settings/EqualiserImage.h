// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/EqualiserTables.h"
#include "core/settings/ImagePassResult.h"
#include "core/settings/SettingsFile.h"

namespace koral {

// Where the equaliser lies in the settings image for one firmware version.
// An offset whose key is missing, or which is negative or too large for the
// image, is nullopt: nothing is then read or written.
struct EqualiserLayout {
  std::string firmwareVersion;
  std::optional<int> offsetEq;     // 165 bytes of band fields
  std::optional<int> offsetSelEq;  // 1 byte: the player's selected preset

  bool IsComplete() const { return offsetEq && offsetSelEq; }
  std::vector<std::string> MissingKeys() const;
};

EqualiserLayout ReadEqualiserLayout(const std::filesystem::path& configIni, const std::string& firmwareVersion);
// The "offseteq" key alone, as ReadEqualiserLayout takes it.
std::optional<int> ReadEqualiserOffset(const std::filesystem::path& configIni, std::string_view firmwareVersion);

// The French explanation for a layout that is not complete.
std::string MissingEqualiserKeysMessage(const EqualiserLayout& layout);

// One pass over the image for the equaliser: opened on construction, closed
// by Close (or the destructor). Every transfer returns false on a failure.
// The layout must be complete.
class EqualiserPass {
 public:
  EqualiserPass(const std::filesystem::path& image, const EqualiserLayout& layout);
  EqualiserPass(const EqualiserPass&) = delete;
  EqualiserPass& operator=(const EqualiserPass&) = delete;

  bool IsOpen() const { return m_file.IsOpen(); }

  // Presets 0 to 10; a byte missing at the end of the image reads as 0.
  [[nodiscard]] bool ReadGains(GainTable& gains);
  [[nodiscard]] bool ReadSelectedPreset(int& preset);
  [[nodiscard]] bool WriteSelectedPreset(int preset);
  [[nodiscard]] bool WritePreset(int preset, const PresetGains& gains);
  [[nodiscard]] bool WriteGains(const GainTable& gains);
  // After a failed write: no complete backup of the image could be kept, and nothing was written.
  bool BackupFailed() const { return m_file.BackupFailed(); }
  // The image could be read but not written: writes fail and write nothing.
  bool ReadOnly() const { return m_file.IsReadOnly(); }
  // False when the bytes written could not reach the image.
  bool Close() { return m_file.Close(); }
  // Closes the pass and tells how it went; `transferred`: every transfer
  // asked for went through.
  ImagePassResult Finish(bool transferred);

 private:
  CSettingsFile m_file;
  int m_offsetEq;
  int m_offsetSelEq;
};

}  // namespace koral
