// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

namespace koral::convert {

// FFmpeg's objects, freed by their own functions when they go.
struct InputCloser {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerFreer {
  void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct FifoFreer {
  void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using InputHandle = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecHandle = std::unique_ptr<AVCodecContext, CodecFreer>;
using FrameHandle = std::unique_ptr<AVFrame, FrameFreer>;
using PacketHandle = std::unique_ptr<AVPacket, PacketFreer>;
using ResamplerHandle = std::unique_ptr<SwrContext, ResamplerFreer>;
using FifoHandle = std::unique_ptr<AVAudioFifo, FifoFreer>;

}  // namespace koral::convert
