// SPDX-License-Identifier: GPL-3.0-or-later
// How closely a copy's progress follows the device. Prints the time between
// the last progress report and the end (the final sync), and, given the
// device's statistics file (/sys/block/NAME/stat) and its speed, the worst
// lead of the progress over the bytes the device has written, sampled every
// 20 ms, in seconds of that speed. Built and run by bench/copy.py.
//   copy_latency SOURCE_FOLDER PLAYER_FOLDER [STAT_FILE BYTES_PER_SECOND]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "core/copy/CopyEngine.h"
#include "core/files/Paths.h"

namespace {

using Clock = std::chrono::steady_clock;

class LastProgress final : public koral::CopyObserver {
 public:
  void OnProgress(const koral::CopyProgress& progress) override {
    last = Clock::now();
    done = progress.totalDone;
  }
  Clock::time_point last = Clock::now();
  std::atomic<std::uint64_t> done{0};
};

// Bytes the device has written since it started: the seventh field counts
// 512-byte sectors.
std::int64_t WrittenBytes(const std::string& statFile) {
  std::ifstream stat(statFile);
  std::int64_t field = 0;
  for (int i = 0; i < 7 && stat >> field; ++i) {
  }
  return field * 512;
}

// Samples the lead until stopped; the worst, in bytes.
class LeadSampler {
 public:
  LeadSampler(const std::string& statFile, const LastProgress& progress)
      : m_statFile(statFile), m_progress(progress), m_start(WrittenBytes(statFile)), m_thread([this] { Run(); }) {}
  ~LeadSampler() {
    m_stop = true;
    m_thread.join();
  }
  std::int64_t Worst() const { return m_worst; }

 private:
  void Run() {
    while (!m_stop) {
      const auto progress = static_cast<std::int64_t>(m_progress.done.load());
      m_worst = std::max<std::int64_t>(m_worst, progress - (WrittenBytes(m_statFile) - m_start));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  std::string m_statFile;
  const LastProgress& m_progress;
  std::int64_t m_start;
  std::atomic<std::int64_t> m_worst{0};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) return 2;
  const std::filesystem::path source(argv[1]);
  koral::CopyJob job;
  job.sources = {source.string()};
  job.destinations = {koral::JoinPath(argv[2], source.filename().string())};
  const koral::CopyPlan plan = koral::BuildCopyPlan(job);
  LastProgress observer;
  std::optional<LeadSampler> sampler;
  if (argc == 5) sampler.emplace(argv[3], observer);
  const auto start = Clock::now();
  const koral::CopyResult result = koral::CCopyEngine(job.options, observer).Run(plan);
  const auto end = Clock::now();
  const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
  std::printf("copy %.3f s, last progress -> end %.3f s", seconds(end - start), seconds(end - observer.last));
  if (sampler) {
    const std::int64_t worst = sampler->Worst();
    sampler.reset();
    std::printf(", worst lead %.3f s", static_cast<double>(worst) / std::stod(argv[4]));
  }
  std::printf("\n");
  return result.failures.empty() ? 0 : 1;
}
