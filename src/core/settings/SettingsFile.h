// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace koral {

// One short pass over the player's settings image: open, transfer a few
// bytes at looked-up offsets, close. Byte i of a transfer is the low byte of
// slot i; a read leaves the slot's upper bytes as they were.
class CSettingsFile {
 public:
  using Slots = std::array<int32_t, 3>;

  enum Status : int {
    kOk = 0,
    kTellFailed = 2,
    kReadCountInvalid = 3,
    kWriteCountInvalid = 4,
    kBackupFailed = 5,  // no complete backup of the image could be kept: nothing written
    kReadOnly = 6,      // the image could only be opened for reading: nothing written
  };

  CSettingsFile() = default;
  ~CSettingsFile();
  CSettingsFile(const CSettingsFile&) = delete;
  CSettingsFile& operator=(const CSettingsFile&) = delete;

  // Opens an existing image for reading and writing ("r+b"); never creates it.
  // The owner's write bit is added first so a read-only image can be written;
  // when the open fails the mode is put back at once. An image that can be
  // read but not written (read-only mount, immutable file) opens for
  // reading: every write then returns kReadOnly.
  void Open(const std::filesystem::path& path);
  // Puts the saved mode back and closes; nothing when not open. False when
  // the bytes still buffered could not be written out.
  bool Close();
  bool IsOpen() const { return m_open; }
  bool IsReadOnly() const { return m_readOnly; }

  void Seek(int32_t offset);
  int Tell();
  int32_t Position() const { return m_position; }

  // Counts above 3 transfer 3; a count of 0 or less returns 3 (read) or 4 (write).
  // Bytes past the end of the image leave their slots unchanged. An offset
  // the stream cannot seek to (negative) and a closed handle return 2 and
  // transfer nothing, so no byte lands at the wrong place.
  [[nodiscard]] int ReadBytes(Slots& slots, int count, int32_t offset);
  // Writing past the end makes the image longer. The first write of a run
  // to an image keeps a backup of it first; when that fails, this write and
  // every later one of the pass return kBackupFailed and write nothing.
  [[nodiscard]] int WriteBytes(const Slots& slots, int count, int32_t offset);
  bool BackupFailed() const { return m_backup == Backup::kFailed; }

 private:
  enum class Backup { kNotYet, kKept, kFailed };

  bool SeekTo(int32_t offset);
  void RestoreMode() const;
  bool BackUpOnce();

  std::FILE* m_stream = nullptr;
  bool m_open = false;
  bool m_readOnly = false;
  int32_t m_position = 0;
  mode_t m_savedMode = 0;
  bool m_modeSaved = false;
  Backup m_backup = Backup::kNotYet;
  std::filesystem::path m_path;
};

// What a write refused by a read-only image says.
std::string ReadOnlyImageMessage();

}  // namespace koral
