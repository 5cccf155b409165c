// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingsFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "core/settings/ImageBackup.h"

namespace koral {

CSettingsFile::~CSettingsFile() { Close(); }

void CSettingsFile::Open(const std::filesystem::path& path) {
  Close();
  m_path = path;
  m_backup = Backup::kNotYet;
  struct stat info {};
  m_modeSaved = stat(path.c_str(), &info) == 0;
  if (m_modeSaved) {
    m_savedMode = info.st_mode & 07777;
    chmod(path.c_str(), m_savedMode | S_IWUSR);  // vfat may refuse: ignored
  }
  m_stream = std::fopen(path.c_str(), "r+b");
  m_readOnly = false;
  if (m_stream == nullptr && (errno == EROFS || errno == EPERM || errno == EACCES)) {
    m_stream = std::fopen(path.c_str(), "rb");
    m_readOnly = m_stream != nullptr;
  }
  m_open = m_stream != nullptr;
  m_position = 0;
  if (!m_open) RestoreMode();
}

bool CSettingsFile::Close() {
  if (!m_open) return true;
  const bool flushed = std::fclose(m_stream) == 0;
  m_stream = nullptr;
  m_open = false;
  RestoreMode();
  return flushed;
}

void CSettingsFile::RestoreMode() const {
  if (m_modeSaved) chmod(m_path.c_str(), m_savedMode);
}

void CSettingsFile::Seek(int32_t offset) { SeekTo(offset); }

bool CSettingsFile::SeekTo(int32_t offset) {
  m_position = offset;
  return m_stream != nullptr && std::fseek(m_stream, offset, SEEK_SET) == 0;
}

int CSettingsFile::Tell() {
  if (m_stream == nullptr) return kTellFailed;
  const long position = std::ftell(m_stream);
  m_position = static_cast<int32_t>(position);
  return position == -1 ? kTellFailed : kOk;
}

int CSettingsFile::ReadBytes(Slots& slots, int count, int32_t offset) {
  const bool placed = SeekTo(offset);
  if (count <= 0) return kReadCountInvalid;
  if (!placed) return kTellFailed;
  count = std::min(count, 3);
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    const int byte = std::fgetc(m_stream);
    if (byte == EOF) continue;
    slots[i] = static_cast<int32_t>((static_cast<uint32_t>(slots[i]) & 0xFFFFFF00u) | static_cast<uint32_t>(byte));
  }
  return Tell();
}

int CSettingsFile::WriteBytes(const Slots& slots, int count, int32_t offset) {
  const bool placed = SeekTo(offset);
  if (count <= 0) return kWriteCountInvalid;
  if (!placed) return kTellFailed;
  if (m_readOnly) return kReadOnly;
  if (!BackUpOnce()) return kBackupFailed;
  count = std::min(count, 3);
  for (size_t i = 0; i < static_cast<size_t>(count); ++i)
    if (std::fputc(slots[i] & 0xFF, m_stream) == EOF) return kTellFailed;
  return Tell();
}

std::string ReadOnlyImageMessage() { return "Les réglages n'ont pas été enregistrés : l'Koral est en lecture seule."; }

bool CSettingsFile::BackUpOnce() {
  if (m_backup == Backup::kNotYet) m_backup = BackUpImageBeforeFirstWrite(m_path) ? Backup::kKept : Backup::kFailed;
  return m_backup == Backup::kKept;
}

}  // namespace koral
