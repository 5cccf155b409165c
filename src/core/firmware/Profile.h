// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/RadioRecord.h"

namespace koral {

// A profile file: the first two bytes of each radio record (the low and
// middle byte of the frequency) and the three bytes of each band value
// field of the Perso preset. An empty entry is a memory that was not saved.
using ProfileRadio = std::array<uint8_t, 2>;
using ProfilePerso = std::array<uint8_t, 15>;

struct Profile {
  std::array<std::optional<ProfileRadio>, kMaxRadios> radios;
  std::optional<ProfilePerso> perso;
};

// Something of a profile operation that was refused or left out; the rest
// of the operation went on.
struct ProfileIssue {
  enum class Kind {
    kUnreadableProfile,      // the profile file cannot be read
    kProfileNotRegularFile,  // a pipe or a device in the profile's place, refused unread
    kProfileTooLarge,        // key: the file; over kProfileSizeLimit, refused unread
    kNotAProfile,            // key: the file; neither [radios] nor [equaliser] in it
    kDamagedValue,           // key: a radio letter or "perso"
    kRadioKeyMissing,        // key: offsetradio or nbradios, missing from the version section
    kEqualiserKeyMissing,    // key: offseteq
  };
  Kind kind;
  std::string key;
};

// The French sentence telling the user about an issue.
std::string DescribeProfileIssue(const ProfileIssue& issue, std::string_view version);

// The key of radio memory i: 'a' + i.
std::string RadioKey(int memory);

// The whole file text: [radios] with "a=" .. "t=", an empty line, then
// [equaliser] with "perso="; lines end in CR LF.
std::string FormatProfile(const Profile& profile);

// Reads and checks a whole profile. A radio value must be two numbers 0-255
// separated by one space, "perso" fifteen such numbers; an empty or missing
// entry is simply absent; a damaged one is left out and reported. A file
// over kProfileSizeLimit, or with neither a [radios] nor an [equaliser]
// section, is no profile: nothing of it is taken.
struct ProfileReading {
  Profile profile;
  std::vector<ProfileIssue> issues;
};
ProfileReading ReadProfile(const std::filesystem::path& file);

// True when the reading found no profile to load at all.
bool NothingToLoad(const ProfileReading& reading);

// Numbers 0-255 separated by single spaces, exactly count of them.
std::optional<std::vector<uint8_t>> ParseProfileBytes(std::string_view text, size_t count);

}  // namespace koral
