// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/BandField.h"

namespace koral {

CSettingsFile::Slots EncodeBandField(int gain) {
  const int32_t high = gain < 0 ? 0xFF : 0x00;
  return {gain & 0xFF, high, high};
}

int DecodeBandByte(int firstByte) {
  firstByte &= 0xFF;
  return firstByte <= 20 ? firstByte : firstByte - 256;
}

}  // namespace koral
