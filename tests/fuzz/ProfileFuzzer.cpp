// SPDX-License-Identifier: GPL-3.0-or-later
// A profile file: read and checked whole; what was taken saves and reads back the same.
#include "FuzzSupport.h"
#include "core/firmware/Profile.h"

namespace {

bool SameProfile(const koral::Profile& a, const koral::Profile& b) {
  return a.radios == b.radios && a.perso == b.perso;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  static koral::fuzz::MemoryFile file;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const koral::ProfileReading reading = koral::ReadProfile(file.Hold(bytes));
  for (const koral::ProfileIssue& issue : reading.issues)
    Require(!koral::DescribeProfileIssue(issue, "119.0").empty(), "every issue is told");

  const koral::ProfileReading again = koral::ReadProfile(file.Hold(koral::FormatProfile(reading.profile)));
  Require(again.issues.empty(), "a saved profile reads without issue");
  Require(SameProfile(again.profile, reading.profile), "a saved profile reads back the same");

  const auto numbers = koral::ParseProfileBytes(bytes, 15);
  Require(!numbers || numbers->size() == 15, "fifteen numbers or none");
  return 0;
}
