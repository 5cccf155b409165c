// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace koral::cli {

// The --json output: one compact line of JSON, written as it is built.
// Keys are ASCII and stable; numbers are numbers, never labels.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : m_out(out) {}
  ~JsonWriter();
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  // Text that is not UTF-8 (a path of an old file system) gets U+FFFD for each bad byte.
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(long long value);
  // A number already spelt in JSON's form ("87.5").
  JsonWriter& NumberText(std::string_view text);
  JsonWriter& Null();

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);

  std::ostream& m_out;
  std::vector<bool> m_firstInContainer;
  bool m_afterKey = false;
};

}  // namespace koral::cli
