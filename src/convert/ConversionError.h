// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace koral::convert {

// An FFmpeg failure on the way through a conversion, with its code.
struct ConversionError {
  int code;
};

// The value of an FFmpeg call, or a ConversionError when it is negative.
inline int Checked(int result) {
  if (result < 0) throw ConversionError{result};
  return result;
}

}  // namespace koral::convert
