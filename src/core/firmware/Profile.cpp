// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/Profile.h"

#include <algorithm>
#include <charconv>

#include "core/config/PrivateProfile.h"
#include "core/config/TextEncoding.h"
#include "core/platform/RegularFile.h"

namespace koral {
namespace {

constexpr std::string_view kNewline = "\r\n";

std::string JoinNumbers(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) text += ' ';
    text += std::to_string(bytes[i]);
  }
  return text;
}

std::optional<uint8_t> ParseByte(std::string_view digits) {
  if (digits.empty() || digits.size() > 3) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

template <size_t N>
std::optional<std::array<uint8_t, N>> ParseValue(std::string_view text) {
  const auto bytes = ParseProfileBytes(text, N);
  if (!bytes) return std::nullopt;
  std::array<uint8_t, N> value{};
  std::copy(bytes->begin(), bytes->end(), value.begin());
  return value;
}

// Reads one key: nullopt when missing or empty; a damaged value is reported.
template <size_t N>
std::optional<std::array<uint8_t, N>> ReadEntry(std::string_view bytes, std::string_view section, std::string_view key,
                                                std::vector<ProfileIssue>& issues) {
  const auto text = FindProfileValue(bytes, section, key);
  if (!text || text->empty()) return std::nullopt;
  auto value = ParseValue<N>(*text);
  if (!value) issues.push_back({ProfileIssue::Kind::kDamagedValue, std::string(key)});
  return value;
}

bool HoldsProfileSection(std::string_view bytes) {
  for (const std::string& name : ProfileSectionNames(bytes))
    if (EqualNoCase(name, "radios") || EqualNoCase(name, "equaliser")) return true;
  return false;
}

std::optional<ProfileIssue> Refusal(const RegularFileRead& read, const std::filesystem::path& file) {
  if (read.tooLarge) return ProfileIssue{ProfileIssue::Kind::kProfileTooLarge, file.string()};
  if (read.notRegularFile) return ProfileIssue{ProfileIssue::Kind::kProfileNotRegularFile, {}};
  if (!read.bytes) return ProfileIssue{ProfileIssue::Kind::kUnreadableProfile, {}};
  if (!HoldsProfileSection(*read.bytes)) return ProfileIssue{ProfileIssue::Kind::kNotAProfile, file.string()};
  return std::nullopt;
}

}  // namespace

std::string RadioKey(int memory) { return std::string(1, static_cast<char>('a' + memory)); }

std::optional<std::vector<uint8_t>> ParseProfileBytes(std::string_view text, size_t count) {
  std::vector<uint8_t> bytes;
  size_t start = 0;
  while (bytes.size() < count) {
    const size_t space = text.find(' ', start);
    const bool last = bytes.size() + 1 == count;
    if (last != (space == std::string_view::npos)) return std::nullopt;
    const auto byte = ParseByte(text.substr(start, last ? std::string_view::npos : space - start));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    start = space + 1;
  }
  return bytes;
}

std::string FormatProfile(const Profile& profile) {
  std::string text = "[radios]";
  text += kNewline;
  for (int i = 0; i < kMaxRadios; ++i) {
    const auto& radio = profile.radios[static_cast<size_t>(i)];
    text += RadioKey(i) + "=" + (radio ? JoinNumbers(radio->data(), radio->size()) : std::string());
    text += kNewline;
  }
  text += kNewline;
  text += "[equaliser]";
  text += kNewline;
  text += "perso=" + (profile.perso ? JoinNumbers(profile.perso->data(), profile.perso->size()) : std::string());
  text += kNewline;
  return text;
}

ProfileReading ReadProfile(const std::filesystem::path& file) {
  ProfileReading reading;
  // Read once, never waiting on a pipe, and looked up in memory.
  const RegularFileRead read = ReadRegularFile(file, kProfileSizeLimit);
  if (auto refusal = Refusal(read, file)) {
    reading.issues.push_back(std::move(*refusal));
    return reading;
  }
  const std::string_view bytes = *read.bytes;
  for (int i = 0; i < kMaxRadios; ++i)
    reading.profile.radios[static_cast<size_t>(i)] = ReadEntry<2>(bytes, "radios", RadioKey(i), reading.issues);
  reading.profile.perso = ReadEntry<15>(bytes, "equaliser", "perso", reading.issues);
  return reading;
}

bool NothingToLoad(const ProfileReading& reading) {
  if (reading.issues.empty()) return false;
  switch (reading.issues.front().kind) {
    case ProfileIssue::Kind::kUnreadableProfile:
    case ProfileIssue::Kind::kProfileNotRegularFile:
    case ProfileIssue::Kind::kProfileTooLarge:
    case ProfileIssue::Kind::kNotAProfile: return true;
    default: return false;
  }
}

std::string DescribeProfileIssue(const ProfileIssue& issue, std::string_view version) {
  const std::string section = "[" + std::string(version) + "]";
  switch (issue.kind) {
    case ProfileIssue::Kind::kUnreadableProfile:
      return "Le fichier de profil ne peut pas être lu : rien n'a été chargé.";
    case ProfileIssue::Kind::kProfileNotRegularFile:
      return "Le profil n'est pas un fichier ordinaire : rien n'a été chargé.";
    case ProfileIssue::Kind::kProfileTooLarge:
      return "'" + issue.key + "' est trop gros pour un profil (plus de " + SizeLimitText(kProfileSizeLimit) +
             ") : rien n'a été chargé.";
    case ProfileIssue::Kind::kNotAProfile: return "'" + issue.key + "' n'est pas un profil : rien n'a été chargé.";
    case ProfileIssue::Kind::kDamagedValue:
      if (issue.key == "perso")
        return "La valeur \"perso\" du profil est endommagée (il faut quinze nombres de 0 à 255 séparés par un "
               "espace) : l'égaliseur n'a pas été chargé.";
      return "La valeur \"" + issue.key +
             "\" du profil est endommagée (il faut deux nombres de 0 à 255 séparés "
             "par un espace) : cette mémoire radio n'a pas été chargée.";
    case ProfileIssue::Kind::kRadioKeyMissing:
      return "La clé " + issue.key + " manque dans la section " + section +
             " de Config.ini : les mémoires radio sont laissées de côté.";
    case ProfileIssue::Kind::kEqualiserKeyMissing:
      return "La clé " + issue.key + " manque dans la section " + section +
             " de Config.ini : l'égaliseur \"Perso\" est laissé de côté.";
  }
  return {};
}

}  // namespace koral
