// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/SourceTags.h"

#include <array>
#include <initializer_list>

#include "convert/FfmpegHandles.h"

namespace koral::convert {
namespace {

struct TagNames {
  const char* written;
  std::initializer_list<const char*> read;  // FFmpeg's own name first, then what other taggers use
};

const std::array<TagNames, 8> kPlayerTags = {{
    {"title", {"title"}},
    {"artist", {"artist"}},
    {"album", {"album"}},
    {"album_artist", {"album_artist", "albumartist", "album artist"}},
    {"track", {"track", "tracknumber"}},
    {"disc", {"disc", "discnumber"}},
    {"date", {"date", "year"}},
    {"genre", {"genre"}},
}};

// av_dict_get matches keys whatever their case unless told otherwise.
const char* Found(const AVDictionary* tags, const TagNames& names) {
  for (const char* name : names.read) {
    const AVDictionaryEntry* entry = av_dict_get(tags, name, nullptr, 0);
    if (entry != nullptr && entry->value[0] != '\0') return entry->value;
  }
  return nullptr;
}

}  // namespace

AVDictionary* PlayerTags(const AVFormatContext* source, const AVStream* audio) {
  AVDictionary* tags = nullptr;
  for (const TagNames& names : kPlayerTags) {
    const char* value = Found(source->metadata, names);
    if (value == nullptr && audio != nullptr) value = Found(audio->metadata, names);
    if (value != nullptr) av_dict_set(&tags, names.written, value, 0);
  }
  return tags;
}

}  // namespace koral::convert
