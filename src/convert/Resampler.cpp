// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/Resampler.h"

#include "convert/ConversionError.h"

namespace koral::convert {
namespace {

// A layout the decoder left unspecified is its channel count's usual one.
AVChannelLayout InputLayout(const AVFrame* frame) {
  AVChannelLayout layout{};
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&layout, frame->ch_layout.nb_channels);
  else Checked(av_channel_layout_copy(&layout, &frame->ch_layout));
  return layout;
}

}  // namespace

Resampler::Resampler(int outputRate, AVSampleFormat outputFormat, const AVChannelLayout& outputLayout)
    : m_outputRate(outputRate), m_outputFormat(outputFormat), m_outputLayout(outputLayout), m_output(av_frame_alloc()) {
  if (!m_output) throw ConversionError{AVERROR(ENOMEM)};
}

bool Resampler::Matches(const AVFrame* frame) const {
  const AVChannelLayout layout = InputLayout(frame);
  return m_context && frame->sample_rate == m_inputRate && frame->format == m_inputFormat &&
         av_channel_layout_compare(&layout, &m_inputLayout) == 0;
}

void Resampler::Configure(const AVFrame* frame) {
  m_inputLayout = InputLayout(frame);
  m_inputRate = frame->sample_rate;
  m_inputFormat = static_cast<AVSampleFormat>(frame->format);
  SwrContext* context = nullptr;
  Checked(swr_alloc_set_opts2(&context, &m_outputLayout, m_outputFormat, m_outputRate, &m_inputLayout, m_inputFormat,
                              m_inputRate, 0, nullptr));
  m_context.reset(context);
  Checked(swr_init(context));
}

void Resampler::Reserve(int samples) {
  if (m_output->nb_samples >= samples && m_output->data[0] != nullptr) return;
  av_frame_unref(m_output.get());
  m_output->nb_samples = samples;
  m_output->format = m_outputFormat;
  Checked(av_channel_layout_copy(&m_output->ch_layout, &m_outputLayout));
  Checked(av_frame_get_buffer(m_output.get(), 0));
}

int Resampler::Run(const AVFrame* frame) {
  if (frame != nullptr && !Matches(frame)) {
    if (m_context) throw ConversionError{AVERROR_INPUT_CHANGED};
    Configure(frame);
  }
  if (!m_context) return 0;
  const int inputSamples = frame != nullptr ? frame->nb_samples : 0;
  const int room = swr_get_out_samples(m_context.get(), inputSamples);
  Checked(room);
  if (room == 0) return 0;
  Reserve(room);
  const std::uint8_t** input = frame != nullptr ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr;
  return Checked(swr_convert(m_context.get(), m_output->data, room, input, inputSamples));
}

}  // namespace koral::convert
