// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/AudioConversion.h"

#include <algorithm>
#include <cmath>

namespace koral {
namespace {

constexpr double kOutputRate = 44100.0;
constexpr double kSamplesPerFrame = 1152.0;
// The ID3v2.3 tag with the player's text frames and its padding, and ID3v1's fixed block.
constexpr std::uint64_t kId3v2Bytes = 1024;
constexpr std::uint64_t kId3v1Bytes = 128;

// A constant-rate MPEG-1 Layer III frame at 44.1 kHz, on average (padding included).
double FrameBytes(int kbps) { return 144.0 * kbps * 1000.0 / kOutputRate; }

}  // namespace

bool IsConvertRate(int kbps) {
  return std::find(kConvertRates.begin(), kConvertRates.end(), kbps) != kConvertRates.end();
}

std::uint64_t EstimatedMp3Bytes(double seconds, int kbps) {
  const std::uint64_t tags = kId3v2Bytes + kId3v1Bytes;
  if (!(seconds > 0) || !std::isfinite(seconds) || kbps <= 0) return tags;
  const double frames = std::ceil(seconds * kOutputRate / kSamplesPerFrame);
  // One frame more: the Info frame that tells the duration before the audio.
  return static_cast<std::uint64_t>(std::llround((frames + 1) * FrameBytes(kbps))) + tags;
}

}  // namespace koral
