// Shift-JIS literals of this program are compiled to CP932; u8 literals stay UTF-8 and are read
// through this as the plain bytes the file functions take.
#pragma once

#include <string>

namespace t4::test {

inline std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

}  // namespace t4::test
