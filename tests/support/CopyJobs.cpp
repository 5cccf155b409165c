// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CopyJobs.h"

namespace koral::test {

CopyJob JobCopyingNames(const std::filesystem::path& computer, const std::filesystem::path& player,
                        const std::vector<std::string>& names, const CopyOptions& options) {
  CopyJob job;
  for (const std::string& name : names) {
    job.sources.push_back((computer / name).string());
    job.destinations.push_back((player / name).string());
  }
  job.options = options;
  job.playerRoot = player.string();
  return job;
}

}  // namespace koral::test
