// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioRecord.h"

#include <cmath>

namespace koral {

uint32_t DecodeRadioRecord(const CSettingsFile::Slots& bytes) {
  return (static_cast<uint32_t>(bytes[0]) & 0xFF) | ((static_cast<uint32_t>(bytes[1]) & 0xFF) << 8) |
         ((static_cast<uint32_t>(bytes[2]) & 0xFF) << 16);
}

CSettingsFile::Slots EncodeRadioRecordKHz(uint32_t kilohertz) {
  return {static_cast<int32_t>(kilohertz & 0xFF), static_cast<int32_t>((kilohertz >> 8) & 0xFF),
          static_cast<int32_t>((kilohertz >> 16) & 0xFF)};
}

CSettingsFile::Slots EncodeRadioRecordMHz(double megahertz) {
  // Rounded to the nearest kHz; what does not fit in 24 bits is held at the
  // nearest bound instead of wrapping (or overflowing the rounding).
  constexpr double kLargestKHz = 0xFFFFFF;
  const double kilohertz = megahertz * 1000.0;
  if (!(kilohertz > 0.0)) return EncodeRadioRecordKHz(0);
  if (kilohertz >= kLargestKHz) return EncodeRadioRecordKHz(0xFFFFFF);
  return EncodeRadioRecordKHz(static_cast<uint32_t>(std::lround(kilohertz)));
}

}  // namespace koral
