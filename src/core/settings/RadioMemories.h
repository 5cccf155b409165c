// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/settings/ImagePassResult.h"
#include "core/settings/RadioRecord.h"

namespace koral {

// Where the firmware keeps the radio memories: memory i at offset + 6 * i,
// for the first `count` memories (at most twenty).
struct RadioLayout {
  int32_t offset = 0;
  int count = 0;
};

// nullopt when "offsetradio" or "nbradios" is missing from the version
// section (or the offset is negative or too large to reach): the memories are then neither read
// nor written, so nothing lands at offset 0. A count above 20 is taken as 20.
std::optional<RadioLayout> ReadRadioLayout(const std::filesystem::path& configIni, std::string_view version);
// Its two keys one by one, for a caller that names the missing one.
std::optional<int> ReadRadioOffset(const std::filesystem::path& configIni, std::string_view version);
std::optional<int> ReadRadioCount(const std::filesystem::path& configIni, std::string_view version);

// The twenty memories A to T in MHz; empty when not read or not set.
using RadioMemories = std::array<std::optional<double>, kMaxRadios>;

// One pass: memories 0 to count - 1 from the image. A record lying past the
// end of the image reads as 0 kHz.
ImagePassResult ReadRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                  RadioMemories& memories);

// One pass: every memory below count that holds a frequency is written as
// its 3-byte record; the other bytes of the image are left alone.
ImagePassResult WriteRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                   const RadioMemories& memories);

// The image path of a player root, or an empty path when there is no player.
std::filesystem::path RadioImagePath(const std::optional<std::string>& playerRoot);

}  // namespace koral
