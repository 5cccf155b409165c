// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/copy/CopyEngine.h"

namespace koral {

// The bytes a copy put on the player, from its progress and its failures:
// a file counts once it was transferred whole and no failure names it.
class CCopyTally {
 public:
  void OnProgress(const CopyProgress& progress);
  std::uint64_t BytesCopied(const std::vector<CopyFailure>& failures) const;

 private:
  struct FileSeen {
    std::string source;
    std::string destination;
    std::uint64_t size;
    std::uint64_t done;
  };

  std::vector<FileSeen> m_files;  // in the order started
};

}  // namespace koral
