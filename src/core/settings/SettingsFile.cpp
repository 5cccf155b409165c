#include "settings/SettingsFile.h"

#include <sys/stat.h>

#include <algorithm>

#include "settings/ImageBackup.h"

namespace koral {

CSettingsFile::~CSettingsFile() { Close(); }

void CSettingsFile::Open(const std::filesystem::path& path) {
  Close();
  m_path = path;
  m_backedUp = false;
  struct stat info {};
  m_modeSaved = stat(path.c_str(), &info) == 0;
  if (m_modeSaved) {
    m_savedMode = info.st_mode & 07777;
    chmod(path.c_str(), m_savedMode | S_IWUSR);  // vfat may refuse: ignored
  }
  m_stream = std::fopen(path.c_str(), "r+b");
  m_open = m_stream != nullptr;
  m_position = 0;
}

void CSettingsFile::Close() {
  if (!m_open) return;
  std::fclose(m_stream);
  m_stream = nullptr;
  m_open = false;
  if (m_modeSaved) chmod(m_path.c_str(), m_savedMode);
}

void CSettingsFile::Seek(int32_t offset) {
  m_position = offset;
  std::fseek(m_stream, offset, SEEK_SET);
}

int CSettingsFile::Tell() {
  const long position = std::ftell(m_stream);
  m_position = static_cast<int32_t>(position);
  return position == -1 ? kTellFailed : kOk;
}

int CSettingsFile::ReadBytes(Slots& slots, int count, int32_t offset) {
  Seek(offset);
  if (count <= 0) return kReadCountInvalid;
  count = std::min(count, 3);
  for (int i = 0; i < count; ++i) {
    const int byte = std::fgetc(m_stream);
    if (byte == EOF) continue;
    slots[i] = static_cast<int32_t>((static_cast<uint32_t>(slots[i]) & 0xFFFFFF00u) | static_cast<uint32_t>(byte));
  }
  return Tell();
}

int CSettingsFile::WriteBytes(const Slots& slots, int count, int32_t offset) {
  if (!m_backedUp) {
    BackUpImageBeforeFirstWrite(m_path);
    m_backedUp = true;
  }
  Seek(offset);
  if (count <= 0) return kWriteCountInvalid;
  count = std::min(count, 3);
  for (int i = 0; i < count; ++i) std::fputc(slots[i] & 0xFF, m_stream);
  return Tell();
}

}  // namespace koral
