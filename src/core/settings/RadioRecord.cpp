#include "settings/RadioRecord.h"

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
  return EncodeRadioRecordKHz(static_cast<uint32_t>(std::lround(megahertz * 1000.0)));
}

}  // namespace koral
