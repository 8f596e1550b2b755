// Shift-JIS (code page 932) byte tests and conversion between CP932 and UTF-8.
//
// Every text of the game is Shift-JIS; Linux file names, SDL and fontconfig speak UTF-8. The
// conversions go through glibc iconv and never guess: text that cannot be converted gives nullopt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace t4::platform {

// First byte of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsSjisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Second byte of a double-byte character: 0x40-0x7E and 0x80-0xFC. Note that 0x5C ('\') is one,
// so a backslash byte inside a double-byte character is not a path separator.
constexpr bool IsSjisTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// True when text[i] and text[i + 1] form one double-byte character.
constexpr bool IsSjisPairAt(std::string_view text, size_t i) {
  return i + 1 < text.size() && IsSjisLeadByte(static_cast<unsigned char>(text[i])) &&
         IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]));
}

// Length of the longest prefix of at most `limit` bytes that does not end inside a double-byte
// character.
size_t SjisCutLength(std::string_view text, size_t limit);

std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// For texts that are only shown or logged: characters that cannot be converted become '?'.
std::string Cp932ToUtf8Lossy(std::string_view cp932);
std::string Utf8ToCp932Lossy(std::string_view utf8);

}  // namespace t4::platform
