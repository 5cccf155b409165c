// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/Mp3Conversion.h"

#include <new>
#include <optional>

#include "convert/ConversionError.h"
#include "convert/FfmpegErrorText.h"
#include "convert/Mp3Output.h"
#include "convert/Resampler.h"
#include "convert/SourceAudio.h"
#include "convert/SourceTags.h"

namespace koral::convert {
namespace {

constexpr int kOutputRate = 44100;
// A decoded length this much shorter than the container announces is a
// cut-off file, not a rounding.
constexpr double kTruncationSeconds = 0.25;

struct TagsFreer {
  void operator()(AVDictionary* tags) const { av_dict_free(&tags); }
};

// The bare reason: the report puts it after "fichier audio illisible : ".
ConvertedAudio Failed(int error) { return {{}, FfmpegErrorText(error), false}; }

class Mp3Conversion {
 public:
  Mp3Conversion(const std::string& path, int kbps) : m_source(path), m_kbps(kbps) {}

  ConvertedAudio Run(const std::stop_token& stop) {
    try {
      DecodeAll(stop);
    } catch (const ConversionError&) {
      // A cut-off file fails on its last, partial frame.
      if (m_source.ReadToTheEnd() && ShorterThanAnnounced()) throw ConversionError{AVERROR_EOF};
      throw;
    }
    if (m_source.Stopped()) return {{}, {}, true};
    if (!m_output) throw ConversionError{AVERROR_INVALIDDATA};  // not one frame decoded
    if (ShorterThanAnnounced()) throw ConversionError{AVERROR_EOF};
    Resample(nullptr);
    return {m_output->Finish(), {}, false};
  }

 private:
  void DecodeAll(const std::stop_token& stop) {
    const FrameHandle frame(av_frame_alloc());
    if (!frame) throw ConversionError{AVERROR(ENOMEM)};
    while (m_source.NextFrame(frame.get(), stop)) {
      Take(frame.get());
      av_frame_unref(frame.get());
    }
  }

  bool ShorterThanAnnounced() const {
    const double announced = m_source.AnnouncedSeconds();
    return announced > 0 && m_decodedSeconds < announced - kTruncationSeconds;
  }

  void Take(const AVFrame* frame) {
    if (!m_output) Start(frame);
    m_decodedSeconds += frame->nb_samples / double(frame->sample_rate);
    Resample(frame);
  }

  // A frame, or at the end (nullptr) what the resampler still holds, into the MP3.
  void Resample(const AVFrame* frame) {
    m_resampler->Convert(frame, [this](std::uint8_t* const* planes, int samples) { m_output->Write(planes, samples); });
  }

  // The output follows the first frame: mono stays mono, the rest is stereo.
  void Start(const AVFrame* frame) {
    const std::unique_ptr<AVDictionary, TagsFreer> tags(PlayerTags(m_source.Container(), m_source.Stream()));
    const Mp3Format format{frame->ch_layout.nb_channels == 1 ? 1 : 2, m_kbps};
    const double seconds = m_source.AnnouncedSeconds();
    m_output.emplace(format, static_cast<AVSampleFormat>(frame->format), tags.get(), seconds);
    m_resampler.emplace(kOutputRate, m_output->SampleFormat(), m_output->Layout());
  }

  SourceAudio m_source;
  int m_kbps;
  std::optional<Mp3Output> m_output;
  std::optional<Resampler> m_resampler;
  double m_decodedSeconds = 0;
};

}  // namespace

ConvertedAudio ConvertToMp3(const std::string& path, int kbps, const std::stop_token& stop) {
  try {
    Mp3Conversion conversion(path, kbps);
    return conversion.Run(stop);
  } catch (const ConversionError& error) {
    return Failed(error.code);
  } catch (const std::bad_alloc&) {
    return Failed(AVERROR(ENOMEM));
  }
}

}  // namespace koral::convert
