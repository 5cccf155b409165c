// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AudioFixtures.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "convert/FfmpegHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace koral::test {
namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 8> kTagNames = {"title", "artist", "album", "album_artist",
                                                  "track", "disc",   "date",  "genre"};

struct FormatRecipe {
  const char* name;
  const char* encoder;
  const char* muxer;
};

FormatRecipe RecipeOf(FixtureFormat format) {
  switch (format) {
    case FixtureFormat::Flac: return {"flac", "flac", "flac"};
    case FixtureFormat::Ogg: return {"ogg", "libvorbis", "ogg"};
    case FixtureFormat::Opus: return {"opus", "libopus", "ogg"};
    case FixtureFormat::M4a: return {"m4a", "aac", "ipod"};
    case FixtureFormat::Mp3: return {"mp3", "libmp3lame", "mp3"};
    case FixtureFormat::Wav: return {"wav", "pcm_s16le", "wav"};
  }
  throw std::logic_error("unknown fixture format");
}

void Check(int result, const char* what) {
  if (result < 0) {
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
    av_strerror(result, text.data(), text.size());
    throw std::runtime_error(std::string(what) + ": " + text.data());
  }
}

struct Output {
  void operator()(AVFormatContext* context) const {
    if (context->pb != nullptr) avio_closep(&context->pb);
    avformat_free_context(context);
  }
};

// Two tones a fifth apart, a slow beat and a little noise.
class ToneSource {
 public:
  ToneSource(int rate, int channels) : m_rate(rate), m_channels(channels) {}
  double Sample(std::int64_t index, int channel) {
    const double t = double(index) / m_rate;
    const double tone = std::sin(2 * std::numbers::pi * (440.0 + 110.0 * channel) * t) * 0.4 +
                        std::sin(2 * std::numbers::pi * 660.0 * t) * 0.2 * (1 + std::sin(2 * std::numbers::pi * t));
    m_noise = m_noise * 1664525u + 1013904223u;
    return tone + (double(m_noise >> 8) / double(1u << 24) - 0.5) * 0.02;
  }
  int Channels() const { return m_channels; }

 private:
  int m_rate;
  int m_channels;
  std::uint32_t m_noise = 12345;
};

void Store(AVFrame* frame, int index, int channel, double value) {
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int channels = frame->ch_layout.nb_channels;
  const int slot = planar ? index : index * channels + channel;
  std::uint8_t* data = frame->extended_data[planar ? channel : 0];
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_S16: reinterpret_cast<std::int16_t*>(data)[slot] = std::int16_t(value * 32767); break;
    case AV_SAMPLE_FMT_S32: reinterpret_cast<std::int32_t*>(data)[slot] = std::int32_t(value * 2147483647.0); break;
    case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(data)[slot] = float(value); break;
    case AV_SAMPLE_FMT_DBL: reinterpret_cast<double*>(data)[slot] = value; break;
    default: throw std::runtime_error("sample format not handled by the fixtures");
  }
}

convert::CodecHandle OpenEncoder(const FormatRecipe& recipe, const ToneRecipe& tone, int rate, bool globalHeader) {
  const AVCodec* codec = avcodec_find_encoder_by_name(recipe.encoder);
  if (codec == nullptr) throw std::runtime_error(std::string("no encoder ") + recipe.encoder);
  convert::CodecHandle encoder(avcodec_alloc_context3(codec));
  encoder->sample_rate = rate;
  encoder->time_base = {1, rate};
  encoder->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  av_channel_layout_default(&encoder->ch_layout, tone.channels);
  if (recipe.encoder != std::string_view("flac") && recipe.encoder != std::string_view("pcm_s16le"))
    encoder->bit_rate = 128000;
  if (globalHeader) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(encoder.get(), codec, nullptr), "opening the encoder");
  return encoder;
}

void SetTags(AVDictionary** target, const AudioTags& tags) {
  for (const auto& [key, value] : tags) av_dict_set(target, key.c_str(), value.c_str(), 0);
}

void Drain(AVCodecContext* encoder, AVFormatContext* muxer, AVStream* stream, AVPacket* packet) {
  while (avcodec_receive_packet(encoder, packet) >= 0) {
    av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
    packet->stream_index = stream->index;
    Check(av_interleaved_write_frame(muxer, packet), "writing a packet");
  }
}

void EncodeTone(AVCodecContext* encoder, AVFormatContext* muxer, AVStream* stream, const ToneRecipe& wanted) {
  ToneSource source(encoder->sample_rate, wanted.channels);
  const std::int64_t total = std::llround(wanted.seconds * encoder->sample_rate);
  const int frameSize = encoder->frame_size > 0 ? encoder->frame_size : 1024;
  convert::FrameHandle frame(av_frame_alloc());
  convert::PacketHandle packet(av_packet_alloc());
  for (std::int64_t done = 0; done < total;) {
    frame->nb_samples = int(std::min<std::int64_t>(frameSize, total - done));
    frame->format = encoder->sample_fmt;
    frame->sample_rate = encoder->sample_rate;
    Check(av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout), "layout");
    Check(av_frame_get_buffer(frame.get(), 0), "frame");
    for (int i = 0; i < frame->nb_samples; ++i) {
      for (int c = 0; c < wanted.channels; ++c) Store(frame.get(), i, c, source.Sample(done + i, c));
    }
    frame->pts = done;
    done += frame->nb_samples;
    Check(avcodec_send_frame(encoder, frame.get()), "encoding");
    av_frame_unref(frame.get());
    Drain(encoder, muxer, stream, packet.get());
  }
  Check(avcodec_send_frame(encoder, nullptr), "flushing the encoder");
  Drain(encoder, muxer, stream, packet.get());
}

void OverwriteFrom(const fs::path& file, std::uintmax_t from) {
  std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
  stream.seekp(static_cast<std::streamoff>(from));
  std::uint32_t noise = 987654321;
  for (std::uintmax_t i = from; i < fs::file_size(file); ++i) {
    noise = noise * 1664525u + 1013904223u;
    stream.put(static_cast<char>(noise >> 24));
  }
}

std::string ReadEnds(const fs::path& file, std::ios::off_type offset, std::ios::seekdir from, std::size_t size) {
  std::ifstream stream(file, std::ios::binary);
  std::string bytes(size, '\0');
  stream.seekg(offset, from);
  if (!stream.read(bytes.data(), static_cast<std::streamsize>(size))) return {};
  return bytes;
}

int Id3v2Version(const fs::path& file) {
  const std::string header = ReadEnds(file, 0, std::ios::beg, 10);
  return header.size() == 10 && header.starts_with("ID3") ? static_cast<unsigned char>(header[3]) : 0;
}

bool HasId3v1(const fs::path& file) {
  return fs::file_size(file) >= 128 && ReadEnds(file, -128, std::ios::end, 3) == "TAG";
}

AudioTags TagsOf(const AVFormatContext* input, const AVStream* stream) {
  AudioTags tags;
  for (const char* name : kTagNames) {
    const AVDictionaryEntry* entry = av_dict_get(input->metadata, name, nullptr, 0);
    if (entry == nullptr && stream != nullptr) entry = av_dict_get(stream->metadata, name, nullptr, 0);
    if (entry != nullptr) tags[name] = entry->value;
  }
  return tags;
}

// Decodes the whole stream; counts its samples.
bool DecodeAll(AVFormatContext* input, int streamIndex, AudioFacts& facts) {
  const AVStream* stream = input->streams[streamIndex];
  const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (codec == nullptr) return false;
  convert::CodecHandle decoder(avcodec_alloc_context3(codec));
  if (avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) return false;
  decoder->pkt_timebase = stream->time_base;
  if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return false;
  convert::FrameHandle frame(av_frame_alloc());
  convert::PacketHandle packet(av_packet_alloc());
  std::int64_t samples = 0;
  bool ended = false;
  while (!ended) {
    const int read = av_read_frame(input, packet.get());
    if (read < 0 && read != AVERROR_EOF) return false;
    ended = read == AVERROR_EOF;
    if (!ended && packet->stream_index != streamIndex) {
      av_packet_unref(packet.get());
      continue;
    }
    const int sent = avcodec_send_packet(decoder.get(), ended ? nullptr : packet.get());
    av_packet_unref(packet.get());
    if (sent < 0) return false;
    int received = 0;
    while ((received = avcodec_receive_frame(decoder.get(), frame.get())) >= 0) {
      samples += frame->nb_samples;
      facts.sampleRate = frame->sample_rate;
      facts.channels = frame->ch_layout.nb_channels;
      av_frame_unref(frame.get());
    }
    if (received != AVERROR(EAGAIN) && received != AVERROR_EOF) return false;
  }
  facts.seconds = facts.sampleRate > 0 ? double(samples) / facts.sampleRate : 0;
  return samples > 0;
}

std::string JsonString(const std::string& text) {
  std::ostringstream out;
  out << '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') out << '\\' << c;
    else if (static_cast<unsigned char>(c) < 0x20)
      out << "\\u00"
          << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    else out << c;
  }
  out << '"';
  return out.str();
}

}  // namespace

std::optional<FixtureFormat> FixtureFormatNamed(std::string_view name) {
  for (const FixtureFormat format : {FixtureFormat::Flac, FixtureFormat::Ogg, FixtureFormat::Opus, FixtureFormat::M4a,
                                     FixtureFormat::Mp3, FixtureFormat::Wav}) {
    if (RecipeOf(format).name == name) return format;
  }
  return std::nullopt;
}

void MakeTone(const ToneRecipe& tone, const fs::path& out) {
  av_log_set_level(AV_LOG_ERROR);
  const FormatRecipe recipe = RecipeOf(tone.format);
  const int rate = tone.rate > 0 ? tone.rate : tone.format == FixtureFormat::Opus ? 48000 : 44100;
  AVFormatContext* created = nullptr;
  Check(avformat_alloc_output_context2(&created, nullptr, recipe.muxer, out.c_str()), "choosing the muxer");
  const std::unique_ptr<AVFormatContext, Output> muxer(created);
  const auto encoder = OpenEncoder(recipe, tone, rate, muxer->oformat->flags & AVFMT_GLOBALHEADER);
  AVStream* stream = avformat_new_stream(muxer.get(), nullptr);
  Check(avcodec_parameters_from_context(stream->codecpar, encoder.get()), "stream parameters");
  stream->time_base = encoder->time_base;
  SetTags(&muxer->metadata, tone.tags);
  SetTags(&stream->metadata, tone.tags);  // Ogg writes its comments from the stream's
  Check(avio_open(&muxer->pb, out.c_str(), AVIO_FLAG_WRITE), "creating the file");
  Check(avformat_write_header(muxer.get(), nullptr), "writing the header");
  EncodeTone(encoder.get(), muxer.get(), stream, tone);
  Check(av_write_trailer(muxer.get()), "finishing the file");
}

void MakeDamagedFlac(const fs::path& out) {
  MakeTone({FixtureFormat::Flac, 2, 2, 0, {{"title", "Abîmé"}}}, out);
  OverwriteFrom(out, fs::file_size(out) / 3);
}

AudioFacts ReadAudioFacts(const fs::path& file) {
  av_log_set_level(AV_LOG_QUIET);
  AudioFacts facts;
  facts.id3v2Version = Id3v2Version(file);
  facts.id3v1 = fs::is_regular_file(file) && HasId3v1(file);
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, file.c_str(), nullptr, nullptr) < 0) return facts;
  const convert::InputHandle input(opened);
  if (avformat_find_stream_info(input.get(), nullptr) < 0) return facts;
  facts.container = input->iformat->name;
  const int streamIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (streamIndex < 0) return facts;
  facts.tags = TagsOf(input.get(), input->streams[streamIndex]);
  facts.decodes = DecodeAll(input.get(), streamIndex, facts);
  return facts;
}

std::string AudioFactsJson(const AudioFacts& facts) {
  std::ostringstream out;
  out << std::setprecision(10) << "{\"decodes\": " << (facts.decodes ? "true" : "false")
      << ", \"container\": " << JsonString(facts.container) << ", \"seconds\": " << facts.seconds
      << ", \"sample_rate\": " << facts.sampleRate << ", \"channels\": " << facts.channels
      << ", \"id3v2_version\": " << facts.id3v2Version << ", \"id3v1\": " << (facts.id3v1 ? "true" : "false")
      << ", \"tags\": {";
  const char* separator = "";
  for (const auto& [key, value] : facts.tags) {
    out << separator << JsonString(key) << ": " << JsonString(value);
    separator = ", ";
  }
  out << "}}";
  return out.str();
}

}  // namespace koral::test
