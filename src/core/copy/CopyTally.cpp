// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyTally.h"

#include <unordered_set>

namespace koral {

void CCopyTally::OnProgress(const CopyProgress& progress) {
  if (progress.fileNumber <= 0) return;
  if (static_cast<std::size_t>(progress.fileNumber) > m_files.size())
    m_files.push_back({progress.source, progress.destination, progress.fileSize, 0});
  m_files.back().done = progress.fileDone;
}

std::uint64_t CCopyTally::BytesCopied(const std::vector<CopyFailure>& failures) const {
  // A failure names the source or the destination, by the side that failed.
  std::unordered_set<std::string> failed;
  for (const CopyFailure& failure : failures) failed.insert(failure.path);
  std::uint64_t bytes = 0;
  for (const FileSeen& file : m_files)
    if (file.done == file.size && !failed.count(file.source) && !failed.count(file.destination)) bytes += file.size;
  return bytes;
}

}  // namespace koral
