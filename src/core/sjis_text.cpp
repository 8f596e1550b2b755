#include "core/sjis_text.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "core/report_log.h"
#include "platform/text_codec.h"

namespace {

std::atomic<DlgItemTextGetter> g_dlgItemGetter{nullptr};
std::atomic<DlgItemTextSetter> g_dlgItemSetter{nullptr};

}  // namespace

int IsSjisDoubleByte(const char* p) {
  return p && t4::platform::IsSjisLeadByte(static_cast<unsigned char>(p[0])) &&
                 t4::platform::IsSjisTrailByte(static_cast<unsigned char>(p[1]))
             ? 1
             : 0;
}

int CountChars(const char* text) {
  int count = 0;
  for (const char* p = text; p && *p; ++p) {
    if (IsSjisDoubleByte(p)) {
      ++p;
      ++count;
    } else if (*p != '\n') {
      ++count;
    }
  }
  return count;
}

int FixStringLength(std::string& s) {
  s.resize(std::strlen(s.c_str()));
  return static_cast<int>(s.size());
}

std::string SubString(std::string& s, int pos, int count) {
  if (pos < 0) {
    // A negative count after the clamping would otherwise run to the end of the string.
    count = static_cast<int>(std::max<int64_t>(int64_t{count} + pos, 0));
    pos = 0;
  }
  if (count <= 0 || static_cast<size_t>(pos) > s.size()) return std::string();
  FixStringLength(s);
  if (static_cast<size_t>(pos) >= s.size()) return std::string();
  return s.substr(static_cast<size_t>(pos), static_cast<size_t>(count));
}

void FormatNumber(std::string& out, int value, int width, bool zeroPad, bool plusSign) {
  uint64_t magnitude = value < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{value}) : static_cast<uint64_t>(value);
  int digits = 1;
  for (uint64_t m = magnitude / 10; m > 0; m /= 10) ++digits;
  if (width <= 0) width = digits;
  width = std::min(width, FORMAT_BUFFER_SIZE - 2);  // room for the sign within a formatted text

  std::string text(static_cast<size_t>(width), '0');
  uint64_t m = magnitude;
  for (int i = width - 1; i >= 0 && m > 0; --i, m /= 10) text[static_cast<size_t>(i)] = static_cast<char>('0' + m % 10);
  if (!zeroPad) {
    for (size_t i = 0; i + 1 < text.size() && text[i] == '0'; ++i) text[i] = ' ';
  }
  if (value < 0) {
    text.insert(text.begin(), '-');
  } else if (plusSign) {
    text.insert(text.begin(), '+');
  }
  out = text;
}

void SetDlgItemTextFunctions(DlgItemTextGetter getter, DlgItemTextSetter setter) {
  g_dlgItemGetter.store(getter);
  g_dlgItemSetter.store(setter);
}

void GetDlgItemString(HWND hDlg, int nID, std::string& str, int cchMax) {
  cchMax = std::min(cchMax, DLG_ITEM_TEXT_MAX);
  std::string text;
  DlgItemTextGetter getter = g_dlgItemGetter.load();
  if (cchMax <= 0 || !getter || !getter(hDlg, nID, &text)) {
    str.clear();
    return;
  }
  text.resize(std::strlen(text.c_str()));
  text.resize(t4::platform::SjisCutLength(text, static_cast<size_t>(cchMax - 1)));
  str = text;
}

void SetDlgItemString(HWND hDlg, int nID, const std::string& str) {
  if (DlgItemTextSetter setter = g_dlgItemSetter.load()) setter(hDlg, nID, str.empty() ? "" : str.c_str());
}
