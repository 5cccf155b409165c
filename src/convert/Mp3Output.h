// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "convert/FfmpegHandles.h"
#include "convert/MemoryOutput.h"

namespace koral::convert {

// What the MP3 is made of: 44.1 kHz, mono or stereo, a constant rate.
struct Mp3Format {
  int channels;  // 1 or 2
  int kbps;
};

// LAME's encoder and FFmpeg's MP3 muxer, into memory: an ID3v2.3 tag
// first, the Xing/Info frame, the audio, an ID3v1 tag last. Takes
// 44.1 kHz samples in the encoder's own format (SampleFormat()) in any
// amount and hands LAME whole frames. Failures are thrown as ConversionError.
class Mp3Output {
 public:
  // `sourceFormat` is the decoder's: LAME is given the same precision
  // when it takes it, as the ffmpeg program does.
  Mp3Output(const Mp3Format& format, AVSampleFormat sourceFormat, const AVDictionary* tags, double expectedSeconds);
  Mp3Output(const Mp3Output&) = delete;
  Mp3Output& operator=(const Mp3Output&) = delete;

  AVSampleFormat SampleFormat() const { return m_encoder->sample_fmt; }
  const AVChannelLayout& Layout() const { return m_encoder->ch_layout; }

  void Write(std::uint8_t* const* planes, int samples);
  // Encodes what is left, finishes the file and gives it.
  std::vector<std::uint8_t> Finish();

 private:
  void EncodeWholeFrames(int atLeast);
  void Encode(const AVFrame* frame);

  CodecHandle m_encoder;
  MemoryOutput m_memory;
  std::unique_ptr<AVFormatContext, decltype(&avformat_free_context)> m_muxer;
  AVStream* m_stream = nullptr;
  FifoHandle m_fifo;
  FrameHandle m_frame;
  PacketHandle m_packet;
  std::int64_t m_samplesEncoded = 0;
};

}  // namespace koral::convert
