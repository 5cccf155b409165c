// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace koral {

// Files written on Windows (Config.ini, Radios.ini, profiles, playlists) may
// be in Windows-1252; everything inside the program is UTF-8.
bool IsValidUtf8(std::string_view text);
// Decodes the UTF-8 sequence at text[i] into cp; returns its length, 0 when
// it is invalid (overlong, surrogate, cut short).
size_t DecodeUtf8(std::string_view text, size_t i, char32_t& cp);
std::string Windows1252ToUtf8(std::string_view text);
// Returns the text as UTF-8: unchanged when it already is, else decoded.
std::string ToUtf8(std::string_view text);
// Encodes UTF-8 text to Windows-1252; characters it lacks become '?'.
std::string Utf8ToWindows1252(std::string_view text);

// The lines of a text file, whole, without their LF or CR LF endings.
std::vector<std::string> SplitLines(std::string_view text);

// Case of ASCII letters only, whatever the user's locale: keys, versions,
// file types and FAT names compare this way.
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string LowerAscii(std::string text);
bool EqualNoCase(std::string_view a, std::string_view b);

// Fixed-point text of a number, with a point whatever the user's locale;
// empty when it does not fit (a number of some 60 digits).
std::string FormatFixed(double value, int decimals);

}  // namespace koral
