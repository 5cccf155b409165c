// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/ContainerProbe.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <string_view>
#include <vector>

#include "convert/FfmpegHandles.h"

namespace koral::convert {
namespace {

constexpr std::size_t kProbeBytes = 8192;
constexpr std::size_t kId3HeaderBytes = 10;

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path) : m_fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadOnlyFile() {
    if (m_fd >= 0) close(m_fd);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ssize_t ReadAt(std::uint8_t* buffer, std::size_t size, off_t offset) const {
    return m_fd < 0 ? -1 : pread(m_fd, buffer, size, offset);
  }

 private:
  int m_fd;
};

// The length of an ID3v2 tag at the start of the file (0 without one):
// FLAC or AAC files may carry one too, and the container follows it.
off_t Id3v2Length(const ReadOnlyFile& file) {
  std::array<std::uint8_t, kId3HeaderBytes> header{};
  if (file.ReadAt(header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) return 0;
  if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return 0;
  off_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (header[i] & 0x80) return 0;
    size = (size << 7) | header[i];
  }
  const bool footer = header[5] & 0x10;
  return static_cast<off_t>(kId3HeaderBytes) + size + (footer ? 10 : 0);
}

bool NameIs(const AVInputFormat* format, std::initializer_list<std::string_view> names) {
  for (const std::string_view name : names) {
    if (format->name == name) return true;
  }
  return false;
}

// Pictures, and lists of other files (HLS, DASH, concat): never audio of
// their own, and some would open the files they name.
bool NeverAudio(const AVInputFormat* format) {
  const std::string_view name = format->name;
  return name.ends_with("_pipe") || NameIs(format, {"image2", "hls", "dash", "concat", "ffmetadata"});
}

bool IsRealVideo(const AVStream* stream) {
  return stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC);
}

// The header tells the streams and the length of most containers; when it
// leaves either open, FFmpeg reads the first packets to find them.
bool NeedsStreamInfo(const AVFormatContext* context) {
  if (context->nb_streams == 0 || context->duration == AV_NOPTS_VALUE) return true;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_UNKNOWN) return true;
  }
  return false;
}

AudioProbe ProbeOpened(AVFormatContext* context) {
  if (NeedsStreamInfo(context) && avformat_find_stream_info(context, nullptr) < 0) {
    return {AudioKind::Convertible, 0};
  }
  bool audio = false;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    if (IsRealVideo(context->streams[i])) return {};
    audio = audio || context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
  }
  if (!audio) return {};
  const double seconds = context->duration == AV_NOPTS_VALUE ? 0 : context->duration / double(AV_TIME_BASE);
  return {AudioKind::Convertible, seconds > 0 ? seconds : 0};
}

}  // namespace

const AVInputFormat* RecognisedContainer(const std::string& path) {
  const ReadOnlyFile file(path);
  std::vector<std::uint8_t> buffer(kProbeBytes + AVPROBE_PADDING_SIZE, 0);
  const ssize_t read = file.ReadAt(buffer.data(), kProbeBytes, Id3v2Length(file));
  if (read <= 0) return nullptr;
  AVProbeData probe{};
  probe.filename = "";
  probe.buf = buffer.data();
  probe.buf_size = static_cast<int>(read);
  int score = 0;
  const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
  return format != nullptr && score >= AVPROBE_SCORE_RETRY ? format : nullptr;
}

AudioProbe ProbeAudio(const std::string& path) {
  const AVInputFormat* format = RecognisedContainer(path);
  if (format == nullptr || NeverAudio(format)) return {};
  if (NameIs(format, {"mp3", "asf", "asf_o", "wav"})) return {AudioKind::PlayerPlays, 0};
  AVFormatContext* opened = nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  const int status = avformat_open_input(&opened, path.c_str(), format, &options);
  av_dict_free(&options);
  if (status < 0) return {AudioKind::Convertible, 0};
  const InputHandle context(opened);
  return ProbeOpened(context.get());
}

}  // namespace koral::convert
