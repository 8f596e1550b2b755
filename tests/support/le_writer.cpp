#include "support/le_writer.h"

#include <cstring>

namespace t4::test {

LeWriter& LeWriter::Int(uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return *this;
}

LeWriter& LeWriter::U8(uint32_t value) { return Int(value, 1); }
LeWriter& LeWriter::I16(int32_t value) { return Int(static_cast<uint16_t>(value), 2); }
LeWriter& LeWriter::I32(int64_t value) { return Int(static_cast<uint32_t>(value), 4); }

LeWriter& LeWriter::F64(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return Int(bits, 8);
}

LeWriter& LeWriter::Raw(std::string_view bytes) {
  m_bytes.append(bytes);
  return *this;
}

LeWriter& LeWriter::Str(std::string_view text) {
  I32(static_cast<int64_t>(text.size()) + 1);
  if (!text.empty()) {
    Raw(text);
    U8(0);
  }
  return *this;
}

LeWriter& LeWriter::I32List(const std::vector<int32_t>& list) {
  I32(static_cast<int64_t>(list.size()));
  for (int32_t value : list) I32(value);
  return *this;
}

}  // namespace t4::test
