// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/PrivateProfile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>
#include <vector>

#include "core/config/TextEncoding.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/RegularFile.h"

namespace koral {
namespace {

struct Line {
  std::string text;    // raw bytes, without the line ending
  std::string ending;  // "\n", "\r\n" or empty for a last line without one
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct ParsedFile {
  std::string bom;  // a UTF-8 byte-order mark some editors put first, kept as found
  std::vector<Line> lines;
  bool windows1252 = false;
  std::string newline = "\n";
};

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

ParsedFile Parse(std::string_view bytes) {
  ParsedFile file;
  file.windows1252 = !IsValidUtf8(bytes);
  size_t start = 0;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    file.bom = kUtf8Bom;
    start = kUtf8Bom.size();
  }
  bool endingSeen = false;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    Line line;
    if (lf == std::string::npos) {
      line.text = std::string(bytes.substr(start));
      start = bytes.size();
    } else {
      const bool crlf = lf > start && bytes[lf - 1] == '\r';
      line.text = std::string(bytes.substr(start, lf - start - (crlf ? 1 : 0)));
      line.ending = crlf ? "\r\n" : "\n";
      if (!endingSeen) {
        file.newline = line.ending;
        endingSeen = true;
      }
      start = lf + 1;
    }
    file.lines.push_back(std::move(line));
  }
  return file;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  text.remove_prefix(1);
  const size_t close = text.find(']');
  return Trim(text.substr(0, close));
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::string_view text) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyValue{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// Where a section starts and ends in the parsed lines.
struct SectionRange {
  size_t header;
  size_t end;  // one past its last line
};

std::optional<SectionRange> FindSection(const ParsedFile& file, std::string_view section) {
  for (size_t i = 0; i < file.lines.size(); ++i) {
    const auto name = SectionName(file.lines[i].text);
    if (!name || !EqualNoCase(*name, section)) continue;
    size_t end = i + 1;
    while (end < file.lines.size() && !SectionName(file.lines[end].text)) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const ParsedFile& file, const SectionRange& range, std::string_view key) {
  for (size_t i = range.header + 1; i < range.end; ++i) {
    const auto pair = SplitKeyValue(file.lines[i].text);
    if (pair && EqualNoCase(pair->key, key)) return i;
  }
  return std::nullopt;
}

std::string Join(const ParsedFile& file) {
  std::string bytes = file.bom;
  for (const Line& line : file.lines) bytes += line.text + line.ending;
  return bytes;
}

// Names are compared in the file's own encoding; ours are UTF-8.
std::string InFileEncoding(const ParsedFile& file, std::string_view text) {
  return file.windows1252 ? Utf8ToWindows1252(text) : std::string(text);
}

// A text that Windows-1252 cannot hold turns the whole file to UTF-8, which
// holds everything, rather than storing '?' in its place.
void ConvertToUtf8(ParsedFile& file) {
  for (Line& line : file.lines) line.text = Windows1252ToUtf8(line.text);
  file.windows1252 = false;
}

void MakeRoomFor(ParsedFile& file, std::string_view text) {
  if (file.windows1252 && Windows1252ToUtf8(Utf8ToWindows1252(text)) != text) ConvertToUtf8(file);
}

// A Windows-1252 file is told apart only by bytes that are not UTF-8. When
// the write took away the last of them, the whole file would read as UTF-8
// and every other accented value would change: it becomes UTF-8 for real.
void KeepDecoding(ParsedFile& file) {
  if (file.windows1252 && IsValidUtf8(Join(file))) ConvertToUtf8(file);
}

std::mutex unwrittenMutex;
std::vector<UnwrittenProfileFile> unwrittenFiles;

FileWriteStatus Remember(FileWriteStatus status, const std::filesystem::path& path) {
  if (status == FileWriteStatus::kWritten) return status;
  const std::lock_guard lock(unwrittenMutex);
  const auto same = [&path](const UnwrittenProfileFile& file) { return file.file == path; };
  if (std::none_of(unwrittenFiles.begin(), unwrittenFiles.end(), same)) unwrittenFiles.push_back({path, status});
  return status;
}

}  // namespace

int Atoi(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  value = negative ? -value : value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::optional<std::string> FindProfileValue(std::string_view bytes, std::string_view section, std::string_view key) {
  const ParsedFile file = Parse(bytes);
  const auto range = FindSection(file, InFileEncoding(file, section));
  if (!range) return std::nullopt;
  const auto line = FindKey(file, *range, InFileEncoding(file, key));
  if (!line) return std::nullopt;
  const std::string_view value = SplitKeyValue(file.lines[*line].text)->value;
  return file.windows1252 ? Windows1252ToUtf8(value) : std::string(value);
}

std::vector<std::string> ProfileSectionNames(std::string_view bytes) {
  const ParsedFile file = Parse(bytes);
  std::vector<std::string> names;
  for (const Line& line : file.lines) {
    const auto name = SectionName(line.text);
    if (!name) continue;
    const std::string utf8 = file.windows1252 ? Windows1252ToUtf8(*name) : std::string(*name);
    const auto same = [&utf8](const std::string& known) { return EqualNoCase(known, utf8); };
    if (std::none_of(names.begin(), names.end(), same)) names.push_back(utf8);
  }
  return names;
}

ProfileEntries ProfileSectionEntries(std::string_view bytes, std::string_view section) {
  const ParsedFile file = Parse(bytes);
  const auto range = FindSection(file, InFileEncoding(file, section));
  ProfileEntries entries;
  if (!range) return entries;
  const auto utf8 = [&file](std::string_view text) {
    return file.windows1252 ? Windows1252ToUtf8(text) : std::string(text);
  };
  for (size_t i = range->header + 1; i < range->end; ++i) {
    const auto pair = SplitKeyValue(file.lines[i].text);
    if (!pair || pair->key.empty()) continue;
    const std::string key = utf8(pair->key);
    const auto same = [&key](const auto& entry) { return EqualNoCase(entry.first, key); };
    if (std::none_of(entries.begin(), entries.end(), same)) entries.emplace_back(key, utf8(pair->value));
  }
  return entries;
}

std::optional<std::string> FindPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::filesystem::path& path) {
  const auto bytes = ReadWholeFile(path, kConfigIniSizeLimit);
  if (!bytes) return std::nullopt;
  return FindProfileValue(*bytes, section, key);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::filesystem::path& file) {
  auto value = FindPrivateProfileString(section, key, file);
  return value ? std::move(*value) : std::string(defaultValue);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, const std::filesystem::path& file) {
  return Atoi(GetPrivateProfileString(section, key, "", file));
}

std::optional<std::string> SetProfileValue(std::string_view bytes, std::string_view section, std::string_view key,
                                           std::string_view value) {
  for (const std::string_view text : {section, key, value}) {
    // A line break would end the line early and let the rest pass for other keys or sections.
    if (text.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    // Bytes that are not UTF-8 have no faithful spelling in either encoding of the file.
    if (!IsValidUtf8(text)) return std::nullopt;
  }
  ParsedFile file = Parse(bytes);
  for (const std::string_view text : {section, key, value}) MakeRoomFor(file, text);
  const std::string fileSection = InFileEncoding(file, section);
  const std::string fileKey = InFileEncoding(file, key);
  const std::string fileValue = InFileEncoding(file, value);
  const auto range = FindSection(file, fileSection);
  if (!range) {
    if (!file.lines.empty() && file.lines.back().ending.empty()) file.lines.back().ending = file.newline;
    file.lines.push_back({"[" + fileSection + "]", file.newline});
    file.lines.push_back({fileKey + "=" + fileValue, file.newline});
  } else if (const auto line = FindKey(file, *range, fileKey)) {
    std::string& text = file.lines[*line].text;
    const std::string_view keyPart = std::string_view(text).substr(0, text.find('='));
    const size_t keyEnd = keyPart.find_last_not_of(" \t");
    text = std::string(keyPart.substr(0, keyEnd + 1)) + "=" + fileValue;
  } else {
    size_t insertAt = range->end;
    while (insertAt > range->header + 1 && Trim(file.lines[insertAt - 1].text).empty()) --insertAt;
    if (file.lines[insertAt - 1].ending.empty()) file.lines[insertAt - 1].ending = file.newline;
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      Line{fileKey + "=" + fileValue, file.newline});
  }
  KeepDecoding(file);
  return Join(file);
}

FileWriteStatus WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                                          const std::filesystem::path& path) {
  const RegularFileRead read = ReadRegularFile(path, kConfigIniSizeLimit);
  // A file that exists but could not be read whole is never replaced by one holding a single key.
  if (!read.bytes && read.error != ENOENT) return Remember(FileWriteStatus::kFailed, path);
  const auto bytes = SetProfileValue(read.bytes.value_or(std::string()), section, key, value);
  if (!bytes) return FileWriteStatus::kFailed;
  return Remember(ReplaceFile(path, *bytes), path);
}

std::vector<UnwrittenProfileFile> UnwrittenProfileFiles() {
  const std::lock_guard lock(unwrittenMutex);
  return unwrittenFiles;
}

std::string UnwrittenOptionsText(const UnwrittenProfileFile& unwritten) {
  const std::string why =
      unwritten.status == FileWriteStatus::kReadOnly ? "est en lecture seule" : "ne peut pas être écrit";
  return "Les options n'ont pas pu être enregistrées : '" + unwritten.file.string() + "' " + why + ".";
}

FileWriteStatus WritePrivateProfileInt(std::string_view section, std::string_view key, int value,
                                       const std::filesystem::path& file) {
  return WritePrivateProfileString(section, key, std::to_string(value), file);
}

}  // namespace koral
