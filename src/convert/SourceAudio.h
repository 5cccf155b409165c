// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stop_token>
#include <string>

#include "convert/FfmpegHandles.h"

namespace koral::convert {

// The audio of a source file, decoded frame by frame on this thread (one
// file per core is the parallelism: the decoder runs single-threaded).
// FFmpeg's failures are thrown as ConversionError.
class SourceAudio {
 public:
  explicit SourceAudio(const std::string& path);

  // The next decoded frame into `frame`; false at the end of the stream.
  // The stop is checked before each packet is read: false as well then,
  // with Stopped() set.
  bool NextFrame(AVFrame* frame, const std::stop_token& stop);
  bool Stopped() const { return m_stopped; }
  // The whole file has been read: a failure now is at its very end.
  bool ReadToTheEnd() const { return m_input->pb != nullptr && avio_feof(m_input->pb); }

  const AVFormatContext* Container() const { return m_input.get(); }
  const AVStream* Stream() const { return m_input->streams[m_streamIndex]; }
  // The length the container announces, when it knows it rather than guesses it from the bit rate; 0 otherwise.
  double AnnouncedSeconds() const;

 private:
  bool ReadIntoDecoder(const std::stop_token& stop);

  InputHandle m_input;
  int m_streamIndex = -1;
  CodecHandle m_decoder;
  PacketHandle m_packet;
  bool m_stopped = false;
};

}  // namespace koral::convert
