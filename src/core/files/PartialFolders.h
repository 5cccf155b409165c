// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <unordered_map>

namespace koral {

// The hidden folders of one copy where its temporaries are written
// (files/PartialCopyNames.h), one per destination folder.
class CPartialFolders {
 public:
  // Makes the hidden folder of a destination folder the first time it is
  // asked for; one left by an interrupted copy is used again once its
  // temporaries are removed. 0 when it is ready, else the error, which
  // stays for that folder: a link or a file in its place is never used.
  int Prepare(const std::string& destinationFolder);

  // Removes the hidden folders once the copy has nothing left in them.
  void RemoveAll();

 private:
  std::unordered_map<std::string, int> m_errors;  // by destination folder
};

}  // namespace koral
