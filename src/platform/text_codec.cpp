#include "platform/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace t4::platform {

namespace {

// One converter per direction and thread: an iconv descriptor keeps shift state and must not be
// shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> Convert(std::string_view in) {
    if (!Valid()) return std::nullopt;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // reset state from any earlier failure
    std::string out;
    // UTF-8 needs at most 3 bytes per CP932 byte pair or single byte; CP932 never grows.
    out.resize(in.size() * 3 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
      size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) {
          size_t used = out.size() - dstLeft;
          out.resize(out.size() * 2);
          dst = out.data() + used;
          dstLeft = out.size() - used;
          continue;
        }
        return std::nullopt;  // EILSEQ or EINVAL (a cut double-byte character)
      }
    }
    if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t m_cd;
};

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

size_t SjisCutLength(std::string_view text, size_t limit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t len = IsSjisPairAt(text, i) ? 2 : 1;
    if (i + len > limit) break;
    i += len;
  }
  return i;
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  // Plain ASCII is the same in both (CP932 keeps 0x5C as the backslash, as the game expects).
  if (IsAscii(cp932)) return std::string(cp932);
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Convert(cp932);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Convert(utf8);
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  if (std::optional<std::string> all = Cp932ToUtf8(cp932)) return *all;
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    size_t len = IsSjisPairAt(cp932, i) ? 2 : 1;
    std::optional<std::string> piece = Cp932ToUtf8(cp932.substr(i, len));
    out += piece ? *piece : std::string("?");
    i += len;
  }
  return out;
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
  if (std::optional<std::string> all = Utf8ToCp932(utf8)) return *all;
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    len = std::min(len, utf8.size() - i);
    std::optional<std::string> piece = Utf8ToCp932(utf8.substr(i, len));
    out += piece ? *piece : std::string("?");
    i += len;
  }
  return out;
}

}  // namespace t4::platform
