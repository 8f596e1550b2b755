// Builds little-endian byte images of files (old, damaged or foreign ones included) for tests,
// independently of the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace t4::test {

class LeWriter {
 public:
  LeWriter& U8(uint32_t value);
  LeWriter& I16(int32_t value);
  LeWriter& I32(int64_t value);  // any value that fits 32 bits, signed or not
  LeWriter& F64(double value);
  // An unsigned integer of `bytes` bytes (1, 2, 4 or 8).
  LeWriter& Int(uint64_t value, int bytes);
  LeWriter& Raw(std::string_view bytes);
  LeWriter& Append(const LeWriter& other) { return Raw(other.m_bytes); }
  // A data-file string: int32 length + 1, then the text and its NUL unless the text is empty.
  LeWriter& Str(std::string_view text);
  // A data-file list of integers: int32 count, then each value as int32.
  LeWriter& I32List(const std::vector<int32_t>& list);

  const std::string& Bytes() const { return m_bytes; }
  size_t Size() const { return m_bytes.size(); }

 private:
  std::string m_bytes;
};

}  // namespace t4::test
