// SPDX-License-Identifier: GPL-3.0-or-later
// The UTF-8 and Windows-1252 conversions every text file of the program goes through.
#include <string>

#include "FuzzSupport.h"
#include "core/config/TextEncoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool valid = koral::IsValidUtf8(bytes);

  size_t decoded = 0;
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const size_t length = koral::DecodeUtf8(bytes, i, cp);
    if (length == 0) break;
    Require(cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF), "a decoded code point is a scalar value");
    i += length;
    decoded = i;
  }
  Require(valid == (decoded == bytes.size()), "validity agrees with the decoder");

  const std::string latin = koral::Windows1252ToUtf8(bytes);
  Require(koral::IsValidUtf8(latin), "Windows-1252 decodes to UTF-8");
  Require(koral::Utf8ToWindows1252(latin) == bytes, "Windows-1252 comes back whole");
  const std::string text = koral::ToUtf8(bytes);
  Require(koral::IsValidUtf8(text), "any text reads as UTF-8");
  Require(!valid || text == bytes, "UTF-8 is kept as it is");

  size_t lineBytes = 0;
  for (const std::string& line : koral::SplitLines(bytes)) {
    Require(line.find('\n') == std::string::npos, "a line holds no line feed");
    lineBytes += line.size();
  }
  Require(lineBytes <= bytes.size(), "lines hold only the text's own bytes");
  return 0;
}
