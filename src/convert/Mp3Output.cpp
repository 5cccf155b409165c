// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/Mp3Output.h"

#include <algorithm>

#include "convert/ConversionError.h"

namespace koral::convert {
namespace {

constexpr int kOutputRate = 44100;

// The planar twin of the decoder's format when LAME takes it, else float.
AVSampleFormat EncoderFormat(const AVCodec* codec, AVSampleFormat sourceFormat) {
  const AVSampleFormat wanted = av_get_planar_sample_fmt(sourceFormat);
  for (const AVSampleFormat* format = codec->sample_fmts; format && *format != AV_SAMPLE_FMT_NONE; ++format) {
    if (*format == wanted) return wanted;
  }
  return AV_SAMPLE_FMT_FLTP;
}

// Constant rate, LAME's quality left at FFmpeg's default, single-threaded
// like the decoder: the copy runs one file per core.
CodecHandle OpenEncoder(const Mp3Format& format, AVSampleFormat sourceFormat) {
  const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
  if (codec == nullptr) throw ConversionError{AVERROR_ENCODER_NOT_FOUND};
  CodecHandle encoder(avcodec_alloc_context3(codec));
  if (!encoder) throw ConversionError{AVERROR(ENOMEM)};
  encoder->bit_rate = format.kbps * 1000LL;
  encoder->sample_rate = kOutputRate;
  encoder->time_base = {1, kOutputRate};
  encoder->sample_fmt = EncoderFormat(codec, sourceFormat);
  av_channel_layout_default(&encoder->ch_layout, format.channels);
  encoder->thread_count = 1;
  Checked(avcodec_open2(encoder.get(), codec, nullptr));
  return encoder;
}

std::size_t ExpectedBytes(double seconds, int kbps) {
  return static_cast<std::size_t>(seconds * kbps * 125.0) + 256 * 1024;
}

}  // namespace

Mp3Output::Mp3Output(const Mp3Format& format, AVSampleFormat sourceFormat, const AVDictionary* tags,
                     double expectedSeconds)
    : m_encoder(OpenEncoder(format, sourceFormat)),
      m_memory(ExpectedBytes(expectedSeconds, format.kbps)),
      m_muxer(nullptr, &avformat_free_context),
      m_packet(av_packet_alloc()) {
  AVFormatContext* muxer = nullptr;
  Checked(avformat_alloc_output_context2(&muxer, nullptr, "mp3", nullptr));
  m_muxer.reset(muxer);
  // No "encoder" tag: only the tags the player shows are written.
  m_muxer->flags |= AVFMT_FLAG_BITEXACT;
  m_muxer->pb = m_memory.Context();
  Checked(av_dict_copy(&m_muxer->metadata, tags, 0));
  m_stream = avformat_new_stream(muxer, nullptr);
  if (m_stream == nullptr || !m_packet) throw ConversionError{AVERROR(ENOMEM)};
  Checked(avcodec_parameters_from_context(m_stream->codecpar, m_encoder.get()));
  m_stream->time_base = m_encoder->time_base;

  AVDictionary* options = nullptr;
  av_dict_set(&options, "id3v2_version", "3", 0);
  av_dict_set(&options, "write_id3v1", "1", 0);
  const int written = avformat_write_header(muxer, &options);
  av_dict_free(&options);
  Checked(written);

  m_fifo.reset(av_audio_fifo_alloc(m_encoder->sample_fmt, format.channels, m_encoder->frame_size));
  m_frame.reset(av_frame_alloc());
  if (!m_fifo || !m_frame) throw ConversionError{AVERROR(ENOMEM)};
  m_frame->nb_samples = m_encoder->frame_size;
  m_frame->format = m_encoder->sample_fmt;
  m_frame->sample_rate = kOutputRate;
  Checked(av_channel_layout_copy(&m_frame->ch_layout, &m_encoder->ch_layout));
  Checked(av_frame_get_buffer(m_frame.get(), 0));
}

void Mp3Output::Write(std::uint8_t* const* planes, int samples) {
  // FFmpeg 5's fifo takes no const, and does not write through the pointers.
  void** data = reinterpret_cast<void**>(const_cast<std::uint8_t**>(planes));
  if (av_audio_fifo_write(m_fifo.get(), data, samples) < samples) throw ConversionError{AVERROR(ENOMEM)};
  EncodeWholeFrames(m_encoder->frame_size);
}

// Hands LAME frames of its own size while at least `atLeast` samples wait.
void Mp3Output::EncodeWholeFrames(int atLeast) {
  while (av_audio_fifo_size(m_fifo.get()) >= atLeast && av_audio_fifo_size(m_fifo.get()) > 0) {
    Checked(av_frame_make_writable(m_frame.get()));
    const int samples = std::min(av_audio_fifo_size(m_fifo.get()), m_encoder->frame_size);
    m_frame->nb_samples = samples;
    Checked(av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(m_frame->data), samples));
    m_frame->pts = m_samplesEncoded;
    m_samplesEncoded += samples;
    Encode(m_frame.get());
  }
}

// Sends a frame (nullptr: the end) and writes every packet LAME gives back.
void Mp3Output::Encode(const AVFrame* frame) {
  Checked(avcodec_send_frame(m_encoder.get(), frame));
  for (;;) {
    const int received = avcodec_receive_packet(m_encoder.get(), m_packet.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    Checked(received);
    av_packet_rescale_ts(m_packet.get(), m_encoder->time_base, m_stream->time_base);
    m_packet->stream_index = m_stream->index;
    Checked(av_write_frame(m_muxer.get(), m_packet.get()));
  }
}

std::vector<std::uint8_t> Mp3Output::Finish() {
  EncodeWholeFrames(1);  // the last frame may be short
  Encode(nullptr);
  Checked(av_write_trailer(m_muxer.get()));
  return m_memory.TakeBytes();
}

}  // namespace koral::convert
