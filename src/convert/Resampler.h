// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "convert/FfmpegHandles.h"

namespace koral::convert {

// Decoded frames to the encoder's rate, format and channels (more than two
// channels are mixed down by libswresample's matrix). A source whose
// format changes midway (chained Ogg streams may) is refused.
class Resampler {
 public:
  Resampler(int outputRate, AVSampleFormat outputFormat, const AVChannelLayout& outputLayout);

  // Converts `frame`, or with nullptr what the resampler still holds;
  // calls `take(planes, samples)` with the result, if any.
  template <typename Take>
  void Convert(const AVFrame* frame, Take&& take) {
    const int samples = Run(frame);
    if (samples > 0) take(m_output->data, samples);
  }

 private:
  int Run(const AVFrame* frame);
  void Configure(const AVFrame* frame);
  bool Matches(const AVFrame* frame) const;
  void Reserve(int samples);

  int m_outputRate;
  AVSampleFormat m_outputFormat;
  AVChannelLayout m_outputLayout;  // a native layout: mono or stereo
  ResamplerHandle m_context;
  int m_inputRate = 0;
  AVSampleFormat m_inputFormat = AV_SAMPLE_FMT_NONE;
  AVChannelLayout m_inputLayout{};
  FrameHandle m_output;
};

}  // namespace koral::convert
