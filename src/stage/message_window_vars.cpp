// Variable references in message texts: "#" with a variable number, "C" (common variable) or "S"
// (stage variable), and after "_" a width digit, "P" for a plus sign and "Z" for leading zeros.
#include <algorithm>
#include <cstdint>
#include <string>

#include "core/sjis_text.h"
#include "persist/save_data.h"
#include "stage/game.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"

namespace {

// Past every valid number: a long run of digits stays out of range instead of overflowing.
constexpr int64_t NUMBER_CEILING = 1000000;
constexpr int64_t LAST_COMMON_VAR = 1000;
// Stage variables are S0..S999; "#S1000" stays text like any other reference out of range.
constexpr int64_t LAST_STAGE_VAR = STAGE_VARIABLE_COUNT - 1;

struct VarRef {
  char cKind = 0;  // 'C', 'S' or none
  int64_t nNumber = 0;
  int nWidth = 0;
  bool bPlus = false;
  bool bZeros = false;
  size_t nEnd = 0;  // first byte after the reference
};

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Reads the reference whose "#" is at `at`.
VarRef ReadRef(const std::string& text, size_t at) {
  VarRef r;
  bool options = false;
  size_t i = at + 1;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (!options) {
      if (IsDigit(ch)) {
        r.nNumber = std::min(r.nNumber * 10 + (ch - '0'), NUMBER_CEILING);
      } else if (ch == 'C' || ch == 'c') {
        r.cKind = 'C';
      } else if (ch == 'S' || ch == 's') {
        r.cKind = 'S';
      } else if (ch == '_') {
        options = true;
      } else {
        break;
      }
    } else if (IsDigit(ch)) {
      r.nWidth = ch - '0';
    } else if (ch == 'P' || ch == 'p') {
      r.bPlus = true;
    } else if (ch == 'Z' || ch == 'z') {
      r.bZeros = true;
    } else {
      break;
    }
  }
  // A full stop that ends the reference goes with it.
  if (i < text.size() && text[i] == '.') ++i;
  r.nEnd = i;
  return r;
}

// The variable the reference names; null when it names none.
const int32_t* Lookup(const VarRef& r) {
  if (r.cKind == 'C') {
    cSafeVector<int32_t>& vars = g_SaveData.m_CommonVars;
    if (r.nNumber < 1 || r.nNumber > LAST_COMMON_VAR || r.nNumber >= static_cast<int64_t>(vars.size())) return nullptr;
    return &vars.At(static_cast<int>(r.nNumber));
  }
  if (r.cKind == 'S') {
    if (!g_lpScenePlay || r.nNumber < 1 || r.nNumber > LAST_STAGE_VAR) return nullptr;
    cSafeVector<int32_t>& vars = g_lpScenePlay->m_StageVars;
    if (r.nNumber >= static_cast<int64_t>(vars.size())) return nullptr;
    return &vars.At(static_cast<int>(r.nNumber));
  }
  return nullptr;
}

std::string Format(int32_t value, const VarRef& r) {
  const int64_t v = value;
  std::string digits = std::to_string(v < 0 ? -v : v);
  if (static_cast<int>(digits.size()) < r.nWidth) digits.insert(0, static_cast<size_t>(r.nWidth) - digits.size(), '0');
  if (!r.bZeros)
    for (size_t i = 0; i + 1 < digits.size() && digits[i] == '0'; ++i) digits[i] = ' ';
  if (v < 0) return "-" + digits;
  return r.bPlus ? "+" + digits : digits;
}

}  // namespace

void cMessageWindow::InsertVariables(std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    if (IsSjisDoubleByte(text.c_str() + i)) {
      i += 2;
      continue;
    }
    if (text[i] != '#') {
      ++i;
      continue;
    }
    const VarRef r = ReadRef(text, i);
    const int32_t* var = Lookup(r);
    if (!var) {
      ++i;
      continue;
    }
    const std::string shown = Format(*var, r);
    text.replace(i, r.nEnd - i, shown);
    i += shown.size();
  }
}
