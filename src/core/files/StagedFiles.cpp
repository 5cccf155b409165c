#include "files/StagedFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace koral {
namespace {

constexpr std::uint64_t kWritebackBatchBytes = 1024 * 1024;

constexpr unsigned kWaitForWholeFile =
    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

CopyFailure Discard(const std::string& temporary, const std::string& final, CopyFault fault, int error) {
  unlink(temporary.c_str());
  return {final, fault, error};
}

}  // namespace

CStagedFiles::~CStagedFiles() {
  for (StagedFile& staged : m_files) {
    staged.file.Close();
    unlink(staged.temporary.c_str());
  }
}

void CStagedFiles::Add(FileDescriptor file, std::string temporary, std::string final, std::uint64_t unconfirmedBytes,
                       std::uint64_t unstartedFrom, std::uint64_t size) {
  m_unconfirmedBytes += unconfirmedBytes;
  m_unstartedBytes += size - unstartedFrom;
  ++m_unstartedFiles;
  m_files.push_back({std::move(file), std::move(temporary), std::move(final), unconfirmedBytes, unstartedFrom, size});
  if (m_unstartedBytes >= kWritebackBatchBytes) StartWriteback();
}

void CStagedFiles::StartWriteback() {
  for (std::size_t i = m_files.size() - std::min(m_unstartedFiles, m_files.size()); i < m_files.size(); ++i) {
    StagedFile& staged = m_files[i];
    sync_file_range(staged.file.Get(), static_cast<off_t>(staged.unstartedFrom),
                    static_cast<off_t>(staged.size - staged.unstartedFrom), SYNC_FILE_RANGE_WRITE);
  }
  m_unstartedBytes = 0;
  m_unstartedFiles = 0;
}

void CStagedFiles::PublishDownTo(std::uint64_t maxBytes, std::size_t maxFiles, Published& published) {
  while (!m_files.empty() && (m_unconfirmedBytes > maxBytes || m_files.size() > maxFiles)) {
    if (m_files.size() <= m_unstartedFiles) StartWriteback();  // not one small request after another
    StagedFile oldest = std::move(m_files.front());
    m_files.pop_front();
    m_unconfirmedBytes -= oldest.unconfirmedBytes;
    m_unstartedFiles = std::min(m_unstartedFiles, m_files.size());
    if (std::optional<CopyFailure> failure = Publish(oldest)) published.failures.push_back(std::move(*failure));
    else published.paths.push_back(std::move(oldest.final));
  }
}

std::optional<CopyFailure> CStagedFiles::Publish(StagedFile& staged) {
  if (sync_file_range(staged.file.Get(), 0, 0, kWaitForWholeFile) != 0 || staged.file.Close() != 0) {
    const int error = errno;
    staged.file.Close();
    const bool full = error == ENOSPC || error == EDQUOT;
    return Discard(staged.temporary, staged.final, full ? CopyFault::PlayerFull : CopyFault::NotSynced, error);
  }
  // The final name, and an existing track under it, change only now.
  if (rename(staged.temporary.c_str(), staged.final.c_str()) != 0)
    return Discard(staged.temporary, staged.final, CopyFault::DestinationUnwritable, errno);
  return std::nullopt;
}

}  // namespace koral
