// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/JsonWriter.h"

#include <cstdio>

#include "core/config/TextEncoding.h"

namespace koral::cli {
namespace {

void WriteEscaped(std::ostream& out, std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      char32_t codePoint = 0;
      const size_t length = DecodeUtf8(text, i, codePoint);
      if (length == 0) {
        out << "\\ufffd";
        ++i;
      } else {
        out << text.substr(i, length);
        i += length;
      }
      continue;
    }
    if (byte == '"' || byte == '\\') out << '\\' << static_cast<char>(byte);
    else if (byte == '\n') out << "\\n";
    else if (byte == '\t') out << "\\t";
    else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out << escape;
    } else {
      out << static_cast<char>(byte);
    }
    ++i;
  }
}

}  // namespace

JsonWriter::~JsonWriter() { m_out << '\n'; }

void JsonWriter::BeforeValue() {
  if (m_afterKey) {
    m_afterKey = false;
    return;
  }
  if (m_firstInContainer.empty()) return;
  if (!m_firstInContainer.back()) m_out << ',';
  m_firstInContainer.back() = false;
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  m_out << bracket;
  m_firstInContainer.push_back(true);
}

void JsonWriter::Close(char bracket) {
  m_out << bracket;
  m_firstInContainer.pop_back();
}

JsonWriter& JsonWriter::BeginObject() {
  Open('{');
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  Close('}');
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Open('[');
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  Close(']');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  m_out << '"';
  WriteEscaped(m_out, key);
  m_out << "\":";
  m_afterKey = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  BeforeValue();
  m_out << '"';
  WriteEscaped(m_out, text);
  m_out << '"';
  return *this;
}

JsonWriter& JsonWriter::Number(long long value) { return NumberText(std::to_string(value)); }

JsonWriter& JsonWriter::NumberText(std::string_view text) {
  BeforeValue();
  m_out << text;
  return *this;
}

JsonWriter& JsonWriter::Null() { return NumberText("null"); }

}  // namespace koral::cli
