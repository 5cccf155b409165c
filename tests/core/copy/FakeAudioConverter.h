// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

#include "core/copy/AudioConversion.h"

namespace koral::test {

// Source files for the fake, by their first word:
//   "audio SECONDS OUTPUT_BYTES"  audio to convert, into OUTPUT_BYTES bytes
//   "damaged SECONDS"             audio to convert that fails to decode
//   "throws SECONDS"              audio whose decoder throws
//   "mp3 ..."                     audio the player plays
//   anything else                 not audio
inline std::string ConvertibleAudio(double seconds, std::size_t outputBytes) {
  return "audio " + std::to_string(seconds) + " " + std::to_string(outputBytes);
}
inline std::string DamagedAudio(double seconds) { return "damaged " + std::to_string(seconds); }

// The fake's MP3 of a source: distinct bytes per source, so that a mix-up shows.
inline std::string FakeMp3(const std::string& source, std::size_t size) {
  std::string bytes(size, '\0');
  const std::size_t seed = std::hash<std::string>{}(source);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((seed + i * 131) & 0xFF);
  return bytes;
}

inline constexpr const char* kFakeDecoderFailure = "flux FLAC endommagé";

// A converter that reads the description above and records what it is
// asked. A held source's Convert waits until it is released or stopped.
class FakeAudioConverter final : public AudioConverter {
 public:
  AudioProbe Probe(const std::string& path) const override {
    const std::lock_guard lock(m_mutex);
    ++m_probes[path];
    // A real decoder would wait on a pipe; told here at once.
    if (!std::filesystem::is_regular_file(path)) return {};
    std::istringstream words(ReadWhole(path));
    std::string kind;
    double seconds = 0;
    words >> kind >> seconds;
    if (kind == "audio" || kind == "damaged" || kind == "throws") return {AudioKind::Convertible, seconds};
    if (kind == "mp3") return {AudioKind::PlayerPlays, 0};
    return {};
  }

  ConvertedAudio Convert(const std::string& path, int kbps, std::stop_token stop) const override {
    std::unique_lock lock(m_mutex);
    m_rates.push_back(kbps);
    ++m_running;
    m_mostRunning = std::max(m_mostRunning, m_running);
    m_mostHeld = std::max(m_mostHeld, ++m_started - m_released);
    m_changed.notify_all();
    const bool released = m_changed.wait(lock, stop, [&] { return m_held.count(path) == 0; });
    --m_running;
    m_finished.push_back(path);
    m_changed.notify_all();
    ConvertedAudio result;
    if (!released) {
      result.stopped = true;
      ++m_stopped;
      return result;
    }
    std::istringstream words(ReadWhole(path));
    std::string kind;
    double seconds = 0;
    std::size_t size = 0;
    words >> kind >> seconds >> size;
    if (kind == "throws") throw std::runtime_error("decoder fault");
    if (kind == "audio") {
      const std::string bytes = FakeMp3(path, size);
      result.bytes.assign(bytes.begin(), bytes.end());
    } else {
      result.failure = kFakeDecoderFailure;
    }
    return result;
  }

  void Hold(const std::string& path) {
    const std::lock_guard lock(m_mutex);
    m_held[path] = true;
  }
  void Release(const std::string& path) {
    const std::lock_guard lock(m_mutex);
    m_held.erase(path);
    m_changed.notify_all();
  }
  // The results the caller is done with: Convert counts those it made and
  // the caller still holds.
  void CountReleasedResults(int count) {
    const std::lock_guard lock(m_mutex);
    m_released = count;
  }
  // Waits until `count` Convert calls are running.
  void WaitUntilRunning(int count) const {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_running >= count; });
  }
  // Waits until `path` has been converted.
  void WaitUntilFinished(const std::string& path) const {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return std::find(m_finished.begin(), m_finished.end(), path) != m_finished.end(); });
  }

  int ProbesOf(const std::string& path) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_probes.find(path);
    return found == m_probes.end() ? 0 : found->second;
  }
  int TotalProbes() const {
    const std::lock_guard lock(m_mutex);
    int total = 0;
    for (const auto& [path, count] : m_probes) total += count;
    return total;
  }
  std::vector<std::string> FinishedInOrder() const {
    const std::lock_guard lock(m_mutex);
    return m_finished;
  }
  std::vector<int> Rates() const {
    const std::lock_guard lock(m_mutex);
    return m_rates;
  }
  int MostRunning() const {
    const std::lock_guard lock(m_mutex);
    return m_mostRunning;
  }
  int MostHeld() const {
    const std::lock_guard lock(m_mutex);
    return m_mostHeld;
  }
  int Stopped() const {
    const std::lock_guard lock(m_mutex);
    return m_stopped;
  }

 private:
  static std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  mutable std::mutex m_mutex;
  mutable std::condition_variable_any m_changed;
  mutable std::map<std::string, int> m_probes;
  std::map<std::string, bool> m_held;
  mutable std::vector<std::string> m_finished;
  mutable std::vector<int> m_rates;
  mutable int m_running = 0;
  mutable int m_mostRunning = 0;
  mutable int m_started = 0;
  int m_released = 0;
  mutable int m_mostHeld = 0;
  mutable int m_stopped = 0;
};

}  // namespace koral::test
