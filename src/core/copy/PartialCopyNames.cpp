// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/PartialCopyNames.h"

#include <cstdio>
#include <functional>

#include "core/config/TextEncoding.h"
#include "core/files/Paths.h"

namespace koral {
namespace {

constexpr std::string_view kSuffix = ".koral-part";
// Leaves room for the dot, the hash and the suffix within 255 bytes.
constexpr size_t kMaxKeptBytes = 200;

// At most `bytes` bytes of a UTF-8 text, never cutting a character.
std::string_view Utf8Prefix(std::string_view text, size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  return text.substr(0, bytes);
}

}  // namespace

std::string TemporaryNameFor(const std::string& finalName) {
  if (finalName.size() <= kMaxKeptBytes) return "." + finalName + std::string(kSuffix);
  char hash[24];
  std::snprintf(hash, sizeof hash, "~%016zx", std::hash<std::string>{}(finalName));
  return "." + std::string(Utf8Prefix(finalName, kMaxKeptBytes - sizeof hash)) + hash + std::string(kSuffix);
}

std::string PartialFolderOf(const std::string& playerRoot) { return JoinPath(playerRoot, kPartialFolderName); }

bool IsTemporaryName(std::string_view name) {
  const size_t dot = name.find_first_not_of("0123456789");
  if (dot == std::string_view::npos || name[dot] != '.') return false;
  const std::string_view rest = name.substr(dot);
  return rest.size() > kSuffix.size() + 1 && rest.ends_with(kSuffix);
}

bool IsPartialFolderName(std::string_view name) { return EqualNoCase(name, kPartialFolderName); }

}  // namespace koral
