// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/platform/FileDescriptor.h"

namespace koral {

// The folder of one copy's temporaries (copy/PartialCopyNames.h), under
// the hidden folder of the player's root, locked for as long as the copy
// runs so that no other run takes it for a leftover.
class CCopyRunFolder {
 public:
  explicit CCopyRunFolder(std::string playerRoot);
  ~CCopyRunFolder();  // Release
  CCopyRunFolder(const CCopyRunFolder&) = delete;
  CCopyRunFolder& operator=(const CCopyRunFolder&) = delete;

  // Removes the leftovers of dead runs, then makes the run's folder and
  // takes its lock, the first time it is asked. 0 when it is ready, else
  // the error, which stays: a link or a file in the hidden folder's place
  // is never used.
  int Prepare();

  // A temporary path of this run for a final path, never given before.
  std::string TemporaryPathFor(const std::string& finalPath);

  // Removes what is left in the run's folder, the folder, and the hidden
  // folder when no other run uses it.
  void Release();

 private:
  int TryMakeFolder();

  std::string m_root;
  std::string m_folder;  // empty until made
  FileDescriptor m_lock;
  std::optional<int> m_error;
  unsigned m_made = 0;  // temporaries named so far
};

}  // namespace koral
