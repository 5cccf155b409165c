// SPDX-License-Identifier: GPL-3.0-or-later
// Time between the last progress report of a copy and its end (the final
// sync): progress must follow the device, so that "done" comes right after
// the bars reach their end. Built and run by bench/copy.py.
//   copy_latency SOURCE_FOLDER PLAYER_FOLDER
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/copy/CopyEngine.h"
#include "core/files/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;

class LastProgress final : public koral::CopyObserver {
 public:
  void OnProgress(const koral::CopyProgress&) override { last = Clock::now(); }
  Clock::time_point last = Clock::now();
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::filesystem::path source(argv[1]);
  koral::CopyJob job;
  job.sources = {source.string()};
  job.destinations = {koral::JoinPath(argv[2], source.filename().string())};
  const koral::CopyPlan plan = koral::BuildCopyPlan(job);
  LastProgress observer;
  const auto start = Clock::now();
  const koral::CopyResult result = koral::CCopyEngine(job.options, observer).Run(plan);
  const auto end = Clock::now();
  const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
  std::printf("copy %.3f s, last progress -> end %.3f s\n", seconds(end - start), seconds(end - observer.last));
  return result.failures.empty() ? 0 : 1;
}
