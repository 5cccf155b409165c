// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/SourceAudio.h"

#include "convert/ContainerProbe.h"
#include "convert/ConversionError.h"

namespace koral::convert {
namespace {

InputHandle OpenInput(const std::string& path) {
  AVFormatContext* opened = nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const int status = avformat_open_input(&opened, path.c_str(), RecognisedContainer(path), &options);
  av_dict_free(&options);
  Checked(status);
  InputHandle input(opened);
  Checked(avformat_find_stream_info(input.get(), nullptr));
  return input;
}

CodecHandle OpenDecoder(const AVStream* stream) {
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (codec == nullptr) throw ConversionError{AVERROR_DECODER_NOT_FOUND};
  CodecHandle decoder(avcodec_alloc_context3(codec));
  if (!decoder) throw ConversionError{AVERROR(ENOMEM)};
  Checked(avcodec_parameters_to_context(decoder.get(), stream->codecpar));
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = 1;
  Checked(avcodec_open2(decoder.get(), codec, nullptr));
  return decoder;
}

}  // namespace

SourceAudio::SourceAudio(const std::string& path) : m_input(OpenInput(path)), m_packet(av_packet_alloc()) {
  if (!m_packet) throw ConversionError{AVERROR(ENOMEM)};
  m_streamIndex = Checked(av_find_best_stream(m_input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0));
  for (unsigned i = 0; i < m_input->nb_streams; ++i) {
    if (static_cast<int>(i) != m_streamIndex) m_input->streams[i]->discard = AVDISCARD_ALL;
  }
  m_decoder = OpenDecoder(Stream());
}

bool SourceAudio::NextFrame(AVFrame* frame, const std::stop_token& stop) {
  for (;;) {
    const int received = avcodec_receive_frame(m_decoder.get(), frame);
    if (received >= 0) return true;
    if (received == AVERROR_EOF) return false;
    if (received != AVERROR(EAGAIN)) throw ConversionError{received};
    if (!ReadIntoDecoder(stop)) return false;
  }
}

// Feeds the decoder one packet of the stream, or the end of the stream.
bool SourceAudio::ReadIntoDecoder(const std::stop_token& stop) {
  for (;;) {
    if (stop.stop_requested()) {
      m_stopped = true;
      return false;
    }
    const int read = av_read_frame(m_input.get(), m_packet.get());
    if (read == AVERROR_EOF) {
      Checked(avcodec_send_packet(m_decoder.get(), nullptr));
      return true;
    }
    Checked(read);
    const bool ours = m_packet->stream_index == m_streamIndex;
    const int sent = ours ? avcodec_send_packet(m_decoder.get(), m_packet.get()) : 0;
    av_packet_unref(m_packet.get());
    Checked(sent);
    if (ours) return true;
  }
}

double SourceAudio::AnnouncedSeconds() const {
  if (m_input->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return 0;
  const AVStream* stream = Stream();
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) return stream->duration * av_q2d(stream->time_base);
  if (m_input->duration != AV_NOPTS_VALUE && m_input->duration > 0) return m_input->duration / double(AV_TIME_BASE);
  return 0;
}

}  // namespace koral::convert
